// The construction context of a stylesheet that refuses expressions nested too deep to compile.
#include "engine/GuardedConstructionContext.hpp"

#include "engine/ExpressionCheck.hpp"
#include "engine/LimitException.hpp"
#include "engine/OperationGuard.hpp"

#include <xalanc/XalanDOM/XalanDOMString.hpp>

namespace prsm::detail
{

GuardedConstructionContext::GuardedConstructionContext(xalanc::MemoryManager& manager,
                                                       xalanc::XSLTEngineImpl& processor,
                                                       xalanc::XPathFactory& xpathFactory,
                                                       OperationGuard& guard)
    : xalanc::StylesheetConstructionContextDefault(manager, processor, xpathFactory),
      m_guard(&guard)
{
}

xalanc::XPath* GuardedConstructionContext::createMatchPattern(
    const xercesc::Locator* locator, const xalanc::XalanDOMString& str,
    const xalanc::PrefixResolver& resolver, bool allowVariableReferences, bool allowKeyFunction)
{
    check(locator, str.c_str(), str.length());
    return StylesheetConstructionContextDefault::createMatchPattern(
        locator, str, resolver, allowVariableReferences, allowKeyFunction);
}

xalanc::XPath* GuardedConstructionContext::createMatchPattern(
    const xercesc::Locator* locator, const xalanc::XalanDOMChar* str,
    const xalanc::PrefixResolver& resolver, bool allowVariableReferences, bool allowKeyFunction)
{
    check(locator, str, str == nullptr ? 0 : xalanc::XalanDOMString::length(str));
    return StylesheetConstructionContextDefault::createMatchPattern(
        locator, str, resolver, allowVariableReferences, allowKeyFunction);
}

xalanc::XPath* GuardedConstructionContext::createXPath(const xercesc::Locator* locator,
                                                       const xalanc::XalanDOMString& str,
                                                       const xalanc::PrefixResolver& resolver,
                                                       bool allowVariableReferences,
                                                       bool allowKeyFunction)
{
    check(locator, str.c_str(), str.length());
    return StylesheetConstructionContextDefault::createXPath(
        locator, str, resolver, allowVariableReferences, allowKeyFunction);
}

xalanc::XPath* GuardedConstructionContext::createXPath(const xercesc::Locator* locator,
                                                       const xalanc::XalanDOMChar* str,
                                                       const xalanc::PrefixResolver& resolver,
                                                       bool allowVariableReferences,
                                                       bool allowKeyFunction)
{
    check(locator, str, str == nullptr ? 0 : xalanc::XalanDOMString::length(str));
    return StylesheetConstructionContextDefault::createXPath(
        locator, str, resolver, allowVariableReferences, allowKeyFunction);
}

xalanc::XPath* GuardedConstructionContext::createXPath(const xercesc::Locator* locator,
                                                       const xalanc::XalanDOMChar* str,
                                                       xalanc::XalanDOMString::size_type len,
                                                       const xalanc::PrefixResolver& resolver,
                                                       bool allowVariableReferences,
                                                       bool allowKeyFunction)
{
    check(locator, str, len);
    return StylesheetConstructionContextDefault::createXPath(
        locator, str, len, resolver, allowVariableReferences, allowKeyFunction);
}

void GuardedConstructionContext::check(const xercesc::Locator* locator,
                                       const xalanc::XalanDOMChar* str, std::size_t length)
{
    if (m_guard == nullptr)
        return;
    const std::string refusal = expressionRefusal(str, length, m_guard->limits());
    if (refusal.empty())
        return;
    m_guard->fail(refusal);
    throw LimitException(refusal, locator);
}

} // namespace prsm::detail
