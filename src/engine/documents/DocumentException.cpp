// The engine exception that ends a transformation whose secondary result document failed.
#include "engine/documents/DocumentException.hpp"

#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"

namespace prsm::detail
{

DocumentException::DocumentException(const std::string& message, const xercesc::Locator* locator)
    : xalanc::XSLException(toEngine(message.c_str()), engineMemory(), locator)
{
}

const xalanc::XalanDOMChar* DocumentException::getType() const
{
    static const xalanc::XalanDOMChar kType[] = u"DocumentException";
    return kType;
}

} // namespace prsm::detail
