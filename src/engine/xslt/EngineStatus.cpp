// Statuses and texts of the file and stream transformations, as the engine's own transformer
// reports them.
#include "engine/xslt/EngineStatus.hpp"

#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/DOMStringHelper.hpp>
#include <xalanc/PlatformSupport/XSLException.hpp>
#include <xalanc/PlatformSupport/XalanMessageLoader.hpp>
#include <xalanc/XalanDOM/XalanDOMException.hpp>
#include <xercesc/sax/SAXException.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLException.hpp>

#include <new>

namespace prsm::detail
{
namespace
{

std::string formatted(const xalanc::XSLException& e)
{
    xalanc::XalanDOMString buffer;
    e.defaultFormat(buffer);
    return utf8Of(buffer);
}

std::string formatted(const xercesc::SAXParseException& e)
{
    const XMLCh none = 0;
    const XMLCh* const systemId = e.getSystemId();
    xalanc::XalanDOMString buffer;
    xalanc::XSLException::defaultFormat(e.getMessage(), systemId == nullptr ? &none : systemId,
                                        e.getLineNumber(), e.getColumnNumber(),
                                        toEngine("SAXParseException").c_str(), buffer);
    return utf8Of(buffer);
}

std::string formatted(const xalanc::XalanDOMException& e)
{
    xalanc::XalanDOMString code;
    xalanc::NumberToDOMString(static_cast<long>(e.getExceptionCode()), code);
    xalanc::XalanDOMString buffer;
    xalanc::XalanMessageLoader::getMessage(
        buffer, xalanc::XalanMessages::XalanDOMExceptionCaught_1Param, code.c_str());
    return utf8Of(buffer);
}

} // namespace

int runWithEngineStatus(std::string& text, const xalanc::XalanDOMString& collected,
                        FunctionRef<int()> work)
{
    // The listener's account comes first: it carries the place the exception may lack.
    const auto store = [&](std::string own, int status)
    {
        text = collected.empty() ? std::move(own) : utf8Of(collected);
        return status;
    };
    try
    {
        const int status = work();
        text.clear();
        return status;
    }
    catch (const xalanc::XSLException& e)
    {
        return store(formatted(e), -1);
    }
    catch (const xercesc::SAXParseException& e) // a SAXException too, so tried first
    {
        return store(formatted(e), -2);
    }
    catch (const xercesc::SAXException& e)
    {
        return store(utf8Of(e.getMessage()), -2);
    }
    catch (const xercesc::XMLException& e)
    {
        return store(utf8Of(e.getMessage()), -3);
    }
    catch (const xalanc::XalanDOMException& e)
    {
        return store(formatted(e), -4);
    }
    // What the listener gathered before memory ran out does not say why the operation stopped.
    catch (const std::bad_alloc&)
    {
        text = kOutOfMemoryText;
        return -5;
    }
    catch (const xercesc::OutOfMemoryException&)
    {
        text = kOutOfMemoryText;
        return -5;
    }
}

} // namespace prsm::detail
