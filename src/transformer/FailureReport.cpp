// Failure reports of the in-memory transformation and the XPath query.
#include "transformer/FailureReport.hpp"

#include "PRSMXslTransformer.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/XSLException.hpp>
#include <xalanc/XalanDOM/XalanDOMException.hpp>
#include <xercesc/sax/SAXException.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/XMLException.hpp>

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

// The pieces written one after another.
template <class... Pieces>
std::string joined(const Pieces&... pieces)
{
    std::ostringstream report;
    (report << ... << pieces);
    return report.str();
}

// Where an exception arose: " (source, line L, column C)" and a line feed. A missing source is
// called `unknown`.
struct Place
{
    const XMLCh* source;
    const char* unknown;
    XMLFileLoc line;
    XMLFileLoc column;
};

std::ostream& operator<<(std::ostream& out, const Place& place)
{
    out << " (";
    if (place.source == nullptr)
        out << place.unknown;
    else
        out << Utf8{place.source};
    return out << ", line " << signedPlace(place.line) << ", column " << signedPlace(place.column)
               << ")" << '\n';
}

std::string describe(const xalanc::XSLException& e)
{
    const XMLCh* const uri = e.getURI().empty() ? nullptr : e.getURI().c_str();
    return joined("\nXSLException Type is: ", Utf8{e.getType()}, '\n',
                  "Message is: ", Utf8{e.getMessage().c_str()},
                  Place{uri, "Unknown URI", e.getLineNumber(), e.getColumnNumber()});
}

std::string describe(const xercesc::SAXParseException& e)
{
    // An empty identifier writes nothing: only a missing one is called unknown.
    return joined(
        "SAXParseException: ", Utf8{e.getMessage()},
        Place{e.getSystemId(), "Unknown system ID", e.getLineNumber(), e.getColumnNumber()});
}

std::string describe(const xercesc::SAXException& e)
{
    return joined("SAXException: ", Utf8{e.getMessage()}, '\n');
}

std::string describe(const xercesc::XMLException& e, ReportingOperation operation)
{
    // The two blanks after the colons of the transformation's report are intended.
    const char* const opening = operation == ReportingOperation::Transform
                                    ? "XMLException:  \n\nType is:  "
                                    : "XMLException: Type is: ";
    return joined(opening, Utf8{e.getType()}, '\n', "Message is: ", Utf8{e.getMessage()}, '\n');
}

std::string describe(const xalanc::XalanDOMException& e, ReportingOperation operation)
{
    const long long code = e.getExceptionCode();
    if (operation == ReportingOperation::Transform)
        return joined("XalanDOMException[", code, "] occured.\n");
    return joined("XalanDOMException caught.  The code is ", code, ".\n");
}

std::string describeUnknown(ReportingOperation operation)
{
    std::string report = "\nUnhandled Exception\n";
    // The transformation's report ends with two line feeds, the query's with one: intended.
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

int runReporting(ReportingOperation operation, I18NString& lastError, FunctionRef<int()> work)
{
    try
    {
        return work();
    }
    catch (const xalanc::XSLException& e)
    {
        return store(lastError, describe(e), -1);
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
    case Refusal::SameHandle:
        break;
    }
    return store(lastError,
                 "The output document handle is the input document handle; use two handles.\n",
                 PRSMXslTransformer::kNoTargetStatus);
}

} // namespace prsm::detail
