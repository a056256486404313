// The engine exception that ends a transformation or a query which passed one of its limits.
#include "engine/limits/LimitException.hpp"

#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"

namespace prsm::detail
{

LimitException::LimitException(const std::string& message, const xercesc::Locator* locator)
    : xalanc::XSLException(toEngine(message.c_str()), engineMemory(), locator)
{
}

const xalanc::XalanDOMChar* LimitException::getType() const
{
    static const xalanc::XalanDOMChar kType[] = u"LimitException";
    return kType;
}

} // namespace prsm::detail
