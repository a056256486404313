// The construction context of a stylesheet that refuses expressions nested too deep to compile.
#pragma once

#include <xalanc/XSLT/StylesheetConstructionContextDefault.hpp>

namespace prsm::detail
{

class OperationGuard;

// The engine's XPath compiler and evaluator recurse once per nesting level; every expression of
// a stylesheet (select, test, match and the like, and those inside attribute value templates)
// is measured first and refused with a LimitException placed at its element.
class GuardedConstructionContext final : public xalanc::StylesheetConstructionContextDefault
{
public:
    GuardedConstructionContext(xalanc::MemoryManager& manager, xalanc::XSLTEngineImpl& processor,
                               xalanc::XPathFactory& xpathFactory, OperationGuard& guard);

    // Stops checking: a compiled stylesheet outlives the operation that compiled it.
    void release() { m_guard = nullptr; }

    xalanc::XPath* createMatchPattern(const xercesc::Locator* locator,
                                      const xalanc::XalanDOMString& str,
                                      const xalanc::PrefixResolver& resolver,
                                      bool allowVariableReferences, bool allowKeyFunction) override;
    xalanc::XPath* createMatchPattern(const xercesc::Locator* locator,
                                      const xalanc::XalanDOMChar* str,
                                      const xalanc::PrefixResolver& resolver,
                                      bool allowVariableReferences, bool allowKeyFunction) override;
    xalanc::XPath* createXPath(const xercesc::Locator* locator, const xalanc::XalanDOMString& str,
                               const xalanc::PrefixResolver& resolver, bool allowVariableReferences,
                               bool allowKeyFunction) override;
    xalanc::XPath* createXPath(const xercesc::Locator* locator, const xalanc::XalanDOMChar* str,
                               const xalanc::PrefixResolver& resolver, bool allowVariableReferences,
                               bool allowKeyFunction) override;
    xalanc::XPath* createXPath(const xercesc::Locator* locator, const xalanc::XalanDOMChar* str,
                               xalanc::XalanDOMString::size_type len,
                               const xalanc::PrefixResolver& resolver, bool allowVariableReferences,
                               bool allowKeyFunction) override;

private:
    void check(const xercesc::Locator* locator, const xalanc::XalanDOMChar* str,
               std::size_t length);

    OperationGuard* m_guard;
};

} // namespace prsm::detail
