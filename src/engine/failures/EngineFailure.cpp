// The one classifier of the exceptions that end an operation: its status, its kind, its place and
// every text by which an operation reports it.
#include "engine/failures/EngineFailure.hpp"

#include "engine/limits/LimitException.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/xslt/LocatingProblemListener.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/DOMStringHelper.hpp>
#include <xalanc/PlatformSupport/XSLException.hpp>
#include <xalanc/PlatformSupport/XalanMessageLoader.hpp>
#include <xalanc/PlatformSupport/XalanOutputStream.hpp>
#include <xalanc/XPath/XPathParserException.hpp>
#include <xalanc/XalanDOM/XalanDOMException.hpp>
#include <xercesc/sax/SAXException.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/XMLException.hpp>

#include <algorithm>
#include <climits>
#include <new>
#include <sstream>
#include <stdexcept>

namespace prsm::detail
{
namespace
{

// A message for a person on one line: line ends and runs of blanks become one blank.
std::string foldLines(const std::string& text)
{
    std::string line;
    for (char c : text)
    {
        const char folded = c == '\n' || c == '\r' || c == '\t' ? ' ' : c;
        if (folded != ' ' || (!line.empty() && line.back() != ' '))
            line += folded;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

// The end of "('a' '(' ')')": the tokens are quoted, so a parenthesis among them is skipped.
std::size_t endOfTokens(const std::string& line, std::size_t at)
{
    at = line.find('(', at);
    while (at != std::string::npos && ++at < line.size() && line[at] != ')')
        if (line[at] == '\'')
            at = line.find('\'', at + 1);
    return at == std::string::npos ? line.size() : std::min(at + 1, line.size());
}

// The engine's XPath messages end in " expression = 'E' Remaining tokens are: ('a' 'b')", its
// parser's in "(Occurred in entity 'F', at line L, column C.)": the place is reported apart, and
// the tokens tell a person nothing the expression does not.
std::string personMessage(const std::string& engineMessage)
{
    std::string line = foldLines(engineMessage);
    const auto expression = line.find(" expression = '");
    if (expression != std::string::npos)
    {
        const auto tokens = line.find("' Remaining tokens are:", expression);
        if (tokens != std::string::npos)
            line.erase(expression, endOfTokens(line, tokens) - expression);
    }
    const auto entity = line.find(" (Occurred in ");
    if (entity != std::string::npos && line.back() == ')')
        line.erase(entity);
    return line;
}

// The engine counts lines and columns unsigned, with all bits set for "unknown"; read as signed,
// an unknown place prints as -1.
long long signedPlace(XMLFileLoc place)
{
    return static_cast<long long>(place);
}

// A place as the structured account holds it: 0 where unknown.
int knownPlace(long long place)
{
    return place > 0 && place <= INT_MAX ? static_cast<int>(place) : 0;
}

// The kind of an engine exception that is neither a refusal nor an output failure, by phase.
PRSMXslFailureKind documentKind(FailurePhase phase)
{
    switch (phase)
    {
    case FailurePhase::Parse:
    case FailurePhase::Transform: // a document that document() loads
        return PRSMXslFailureKind::Source;
    case FailurePhase::Compile:
        return PRSMXslFailureKind::Stylesheet;
    case FailurePhase::Query:
        break;
    }
    return PRSMXslFailureKind::Runtime;
}

PRSMXslFailureKind processingKind(FailurePhase phase)
{
    switch (phase)
    {
    case FailurePhase::Parse:
        return PRSMXslFailureKind::Source;
    case FailurePhase::Compile:
        return PRSMXslFailureKind::Stylesheet;
    case FailurePhase::Transform:
    case FailurePhase::Query:
        break;
    }
    return PRSMXslFailureKind::Runtime;
}

void describe(EngineFailure& out, const xalanc::XSLException& e, FailurePhase phase,
              const ProblemPlace* place)
{
    std::string uri = utf8Of(e.getURI());
    long long line = signedPlace(e.getLineNumber());
    long long column = signedPlace(e.getColumnNumber());
    if (place != nullptr && line < 0 && place->line >= 0)
    {
        if (uri.empty())
            uri = place->uri;
        line = place->line;
        column = place->column;
    }
    const std::string message = utf8Of(e.getMessage());
    std::ostringstream report;
    report << "\nXSLException "
           << "Type is: " << utf8Of(e.getType()) << '\n';
    report << "Message is: " << message << " (" << (uri.empty() ? "Unknown URI" : uri);
    report << ", line " << line << ", column " << column << ")" << '\n';
    out.transformReport = out.queryReport = report.str();

    xalanc::XalanDOMString formatted;
    e.defaultFormat(formatted);
    out.engineText = utf8Of(formatted);

    out.status = -1;
    out.failure.message = personMessage(message);
    out.failure.uri = uri;
    out.failure.line = knownPlace(line);
    out.failure.column = knownPlace(column);
    if (dynamic_cast<const LimitException*>(&e) != nullptr)
        out.failure.kind = PRSMXslFailureKind::Limit;
    else if (dynamic_cast<const xalanc::XalanOutputStream::XalanOutputStreamException*>(&e))
        out.failure.kind = PRSMXslFailureKind::Output;
    else if (dynamic_cast<const xalanc::XPathParserException*>(&e) != nullptr)
        out.failure.kind = PRSMXslFailureKind::Stylesheet;
    else
        out.failure.kind = processingKind(phase);
}

void describe(EngineFailure& out, const xercesc::SAXParseException& e, FailurePhase phase,
              const ProblemPlace* place)
{
    const std::string message = utf8Of(e.getMessage());
    const XMLCh* const systemId = e.getSystemId();
    std::ostringstream report;
    report << "SAXParseException: " << message << " (";
    // An empty identifier writes nothing: only a missing one is called unknown.
    report << (systemId == nullptr ? std::string("Unknown system ID") : utf8Of(systemId));
    report << ", line " << signedPlace(e.getLineNumber()) << ", column "
           << signedPlace(e.getColumnNumber()) << ")" << '\n';
    out.transformReport = out.queryReport = report.str();

    const XMLCh none = 0;
    xalanc::XalanDOMString formatted;
    xalanc::XSLException::defaultFormat(e.getMessage(), systemId == nullptr ? &none : systemId,
                                        e.getLineNumber(), e.getColumnNumber(),
                                        toEngine("SAXParseException").c_str(), formatted);
    out.engineText = utf8Of(formatted);

    out.status = -2;
    out.failure.kind = documentKind(phase);
    out.failure.message = personMessage(message);
    out.failure.uri = utf8Of(systemId);
    if (out.failure.uri.empty() && place != nullptr)
        out.failure.uri = place->uri;
    out.failure.line = knownPlace(signedPlace(e.getLineNumber()));
    out.failure.column = knownPlace(signedPlace(e.getColumnNumber()));
}

void describe(EngineFailure& out, const xercesc::SAXException& e, FailurePhase phase)
{
    out.failure.message = utf8Of(e.getMessage());
    out.transformReport = out.queryReport = "SAXException: " + out.failure.message + '\n';
    out.engineText = out.failure.message;
    out.status = -2;
    out.failure.kind = documentKind(phase);
}

void describe(EngineFailure& out, const xercesc::XMLException& e, FailurePhase phase)
{
    out.failure.message = utf8Of(e.getMessage());
    const std::string type = utf8Of(e.getType());
    // The two blanks after the colons of the transformation's report are intended.
    out.transformReport =
        "XMLException:  \n\nType is:  " + type + "\nMessage is: " + out.failure.message + '\n';
    out.queryReport =
        "XMLException: Type is: " + type + "\nMessage is: " + out.failure.message + '\n';
    out.engineText = out.failure.message;
    out.status = -3;
    out.failure.kind = documentKind(phase);
}

void describe(EngineFailure& out, const xalanc::XalanDOMException& e, FailurePhase phase)
{
    const long long code = e.getExceptionCode();
    out.transformReport = "XalanDOMException[" + std::to_string(code) + "] occured.\n";
    out.queryReport = "XalanDOMException caught.  The code is " + std::to_string(code) + ".\n";
    xalanc::XalanDOMString number;
    xalanc::NumberToDOMString(static_cast<long>(code), number);
    xalanc::XalanDOMString formatted;
    xalanc::XalanMessageLoader::getMessage(
        formatted, xalanc::XalanMessages::XalanDOMExceptionCaught_1Param, number.c_str());
    out.engineText = utf8Of(formatted);
    out.status = -4;
    if (phase == FailurePhase::Transform)
    {
        out.failure.kind = PRSMXslFailureKind::Output;
        out.failure.message =
            "a tree output holds one document element and no text beside it, and the result "
            "has more (DOM exception " +
            std::to_string(code) + "); write it to a stream output, or wrap it in one element";
    }
    else
    {
        out.failure.kind = processingKind(phase);
        out.failure.message =
            "the document tree refused a change (DOM exception " + std::to_string(code) + ")";
    }
}

void describeOther(EngineFailure& out, PRSMXslFailureKind kind, std::string message)
{
    out.transformReport = "\nUnhandled Exception\n\n";
    out.queryReport = "\nUnhandled Exception\n";
    out.status = -5;
    out.failure.kind = kind;
    out.failure.message = std::move(message);
    out.engineText = out.failure.message;
}

} // namespace

EngineFailure classifyCurrentException(FailurePhase phase, const OperationGuard* guard,
                                       const ProblemPlace* place)
{
    EngineFailure out;
    out.isEngine = true;
    try
    {
        throw;
    }
    catch (const xalanc::XSLException& e)
    {
        describe(out, e, phase, place);
    }
    catch (const xercesc::SAXParseException& e) // a SAXException too, so tried first
    {
        describe(out, e, phase, place);
    }
    catch (const xercesc::SAXException& e)
    {
        describe(out, e, phase);
    }
    catch (const xercesc::XMLException& e)
    {
        describe(out, e, phase);
    }
    catch (const xalanc::XalanDOMException& e)
    {
        describe(out, e, phase);
    }
    catch (const std::bad_alloc&)
    {
        out.isEngine = false;
        describeOther(out, PRSMXslFailureKind::Runtime, "out of memory");
    }
    catch (const std::exception& e)
    {
        out.isEngine = false;
        describeOther(out, PRSMXslFailureKind::Host, e.what());
    }
    catch (...)
    {
        out.isEngine = false;
        describeOther(out, PRSMXslFailureKind::Host, "an exception of an unknown type");
    }
    out.failure.status = out.status;
    // Whatever exception ended it, an operation a bound stopped was refused by that bound: a
    // parse whose refusal the engine turned into another failure is still a refusal.
    if (guard != nullptr)
    {
        if (const std::string* reason = guard->failure())
        {
            out.failure.kind = PRSMXslFailureKind::Limit;
            out.failure.message = *reason;
        }
        else if (out.failure.kind == PRSMXslFailureKind::Limit)
            out.failure.kind = PRSMXslFailureKind::Usage; // a refusal of no bound: re-entry
    }
    return out;
}

PRSMXslFailure plainFailure(int status, PRSMXslFailureKind kind, std::string message)
{
    PRSMXslFailure failure;
    failure.status = status;
    failure.kind = kind;
    failure.message = std::move(message);
    return failure;
}

} // namespace prsm::detail
