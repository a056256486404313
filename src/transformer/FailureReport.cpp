// Failure reports of the in-memory transformation and the XPath query.
#include "transformer/FailureReport.hpp"

#include "PRSMXslTransformer.hpp"
#include "engine/xslt/EngineStatus.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/XSLException.hpp>
#include <xalanc/XalanDOM/XalanDOMException.hpp>
#include <xercesc/sax/SAXException.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLException.hpp>

#include <new>
#include <sstream>
#include <string>
#include <string_view>

namespace prsm::detail
{
namespace
{

// Engine texts are UTF-16; reports are 8-bit text in the platform's default encoding, UTF-8.
struct Utf8
{
    const XMLCh* text; // null writes nothing
};

std::ostream& operator<<(std::ostream& out, Utf8 piece)
{
    return out << utf8Of(piece.text);
}

// The engine counts lines and columns unsigned, with all bits set for "unknown"; read as signed,
// an unknown place prints as -1.
long long signedPlace(XMLFileLoc place)
{
    return static_cast<long long>(place);
}

std::string describe(const xalanc::XSLException& e, const ProblemPlace* place)
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
    std::ostringstream report;
    report << "\nXSLException "
           << "Type is: " << Utf8{e.getType()} << '\n';
    report << "Message is: " << Utf8{e.getMessage().c_str()} << " (";
    report << (uri.empty() ? "Unknown URI" : uri);
    report << ", line " << line << ", column " << column << ")" << '\n';
    return report.str();
}

std::string describe(const xercesc::SAXParseException& e)
{
    std::ostringstream report;
    report << "SAXParseException: " << Utf8{e.getMessage()} << " (";
    // An empty identifier writes nothing: only a missing one is called unknown.
    if (e.getSystemId() == nullptr)
        report << "Unknown system ID";
    else
        report << Utf8{e.getSystemId()};
    report << ", line " << signedPlace(e.getLineNumber()) << ", column "
           << signedPlace(e.getColumnNumber()) << ")" << '\n';
    return report.str();
}

std::string describe(const xercesc::SAXException& e)
{
    std::ostringstream report;
    report << "SAXException: " << Utf8{e.getMessage()} << '\n';
    return report.str();
}

std::string describe(const xercesc::XMLException& e, ReportingOperation operation)
{
    std::ostringstream report;
    // The two blanks after the colons of the transformation's report are intended.
    if (operation == ReportingOperation::Transform)
        report << "XMLException:  " << '\n' << '\n' << "Type is:  ";
    else
        report << "XMLException: "
               << "Type is: ";
    report << Utf8{e.getType()} << '\n' << "Message is: " << Utf8{e.getMessage()} << '\n';
    return report.str();
}

std::string describe(const xalanc::XalanDOMException& e, ReportingOperation operation)
{
    std::ostringstream report;
    const long long code = e.getExceptionCode();
    if (operation == ReportingOperation::Transform)
        report << "XalanDOMException[" << code << "] occured." << '\n';
    else
        report << "XalanDOMException caught.  The code is " << code << "." << '\n';
    return report.str();
}

std::string describeUnknown(ReportingOperation operation)
{
    std::string report = "\nUnhandled Exception\n";
    // The transformation's report ends with two line feeds, the query's with one: intended.
    if (operation == ReportingOperation::Transform)
        report += '\n';
    return report;
}

std::string describeOutOfMemory(ReportingOperation operation)
{
    std::string report = std::string("\n") + kOutOfMemoryText + "\n";
    if (operation == ReportingOperation::Transform)
        report += '\n';
    return report;
}

int store(I18NString& lastError, const std::string& report, int status)
{
    lastError = I18NString(report.c_str(), nullptr, static_cast<int>(report.size()));
    return status;
}

} // namespace

int runReporting(ReportingOperation operation, I18NString& lastError, FunctionRef<int()> work,
                 const ProblemPlace* place)
{
    try
    {
        return work();
    }
    catch (const xalanc::XSLException& e)
    {
        return store(lastError, describe(e, place), -1);
    }
    catch (const xercesc::SAXParseException& e) // a SAXException too, so tried first
    {
        return store(lastError, describe(e), -2);
    }
    catch (const xercesc::SAXException& e)
    {
        return store(lastError, describe(e), -2);
    }
    catch (const xercesc::XMLException& e)
    {
        return store(lastError, describe(e, operation), -3);
    }
    catch (const xalanc::XalanDOMException& e)
    {
        return store(lastError, describe(e, operation), -4);
    }
    // Ends as any other exception does, with a report that says why. Made after the work's
    // objects are gone, so its few bytes are there again.
    catch (const std::bad_alloc&)
    {
        return store(lastError, describeOutOfMemory(operation), -5);
    }
    catch (const xercesc::OutOfMemoryException&)
    {
        return store(lastError, describeOutOfMemory(operation), -5);
    }
    catch (...)
    {
        return store(lastError, describeUnknown(operation), -5);
    }
}

int refuse(Refusal refusal, I18NString& lastError)
{
    switch (refusal)
    {
    case Refusal::NoDocument:
        return store(lastError,
                     "The input document handle holds no document: set it up as an input, or "
                     "use an in-memory output handle.\n",
                     PRSMXslTransformer::kNoDocumentStatus);
    case Refusal::NoTarget:
        return store(lastError, "The output document handle is not set up as an output.\n",
                     PRSMXslTransformer::kNoTargetStatus);
    case Refusal::NotStarted:
        return store(lastError,
                     "The library is not started: call QXXslTransformer_Initialize before "
                     "transforming or querying.\n",
                     PRSMXslTransformer::kNotInitializedStatus);
    case Refusal::StaleHandle:
        return store(lastError,
                     "A document handle was made before the library was last stopped; make a "
                     "new one.\n",
                     PRSMXslTransformer::kNotInitializedStatus);
    case Refusal::SameHandle:
        break;
    }
    return store(lastError,
                 "The output document handle is the input document handle; use two handles.\n",
                 PRSMXslTransformer::kNoTargetStatus);
}

} // namespace prsm::detail
