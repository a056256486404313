// The construction context of a stylesheet that refuses expressions nested too deep to compile.
#pragma once

#include "engine/xslt/ExpressionReuse.hpp"
#include "engine/xslt/PatternAlternatives.hpp"

#include <xalanc/PlatformSupport/XalanDOMStringPool.hpp>
#include <xalanc/XSLT/StylesheetConstructionContextDefault.hpp>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace prsm::detail
{

class ExsltDocumentElement;
class OperationGuard;

// The engine's XPath compiler and evaluator recurse once per nesting level; every expression of
// a stylesheet (select, test, match and the like, and those inside attribute value templates)
// is measured first and refused with a LimitException placed at its element. It also builds
// exsl:document, which the engine itself knows only as an unknown extension element.
class GuardedConstructionContext final : public xalanc::StylesheetConstructionContextDefault
{
public:
    GuardedConstructionContext(xalanc::MemoryManager& manager, xalanc::XSLTEngineImpl& processor,
                               xalanc::XPathFactory& xpathFactory, OperationGuard& guard);
    ~GuardedConstructionContext() override;

    // Stops checking: a compiled stylesheet outlives the operation that compiled it. Nothing is
    // compiled after, so the expressions kept for reuse are forgotten (not the copies).
    void release()
    {
        m_guard = nullptr;
        m_reuse.forgetOriginals();
    }

    // Also lets go of the expressions copied for reuse and of the last pattern split.
    void reset() override;

    using StylesheetConstructionContextDefault::createElement;
    // exsl:document as ExsltDocumentElement; every other extension element as the engine makes
    // it, with its xsl:fallback.
    xalanc::ElemTemplateElement* createElement(xalanc::Stylesheet& stylesheetTree,
                                               const xalanc::XalanDOMChar* name,
                                               const xalanc::AttributeListType& atts,
                                               xalanc::ExtensionNSHandler& handler,
                                               const xercesc::Locator* locator) override;

    xalanc::XPath* createMatchPattern(const xercesc::Locator* locator,
                                      const xalanc::XalanDOMString& str,
                                      const xalanc::PrefixResolver& resolver,
                                      bool allowVariableReferences, bool allowKeyFunction) override;
    xalanc::XPath* createMatchPattern(const xercesc::Locator* locator,
                                      const xalanc::XalanDOMChar* str,
                                      const xalanc::PrefixResolver& resolver,
                                      bool allowVariableReferences, bool allowKeyFunction) override;
    // The table entry of one alternative of a template's pattern, matching with that alternative
    // alone (PatternAlternatives).
    const xalanc::XalanMatchPatternData* createXalanMatchPatternData(
        const xalanc::ElemTemplate& theTemplate, xalanc::size_type thePosition,
        const xalanc::XalanDOMString& theTargetString, const xalanc::XPath& theMatchPattern,
        const xalanc::XalanDOMString& thePatternString,
        xalanc::XPath::eMatchScore thePriority) override;
    // The engine's overloads for a character array copy the text and come here. An expression
    // compiled before under the same namespaces is copied (ExpressionReuse).
    using StylesheetConstructionContextDefault::createXPath;
    xalanc::XPath* createXPath(const xercesc::Locator* locator, const xalanc::XalanDOMString& str,
                               const xalanc::PrefixResolver& resolver, bool allowVariableReferences,
                               bool allowKeyFunction) override;

    // Every name, token and literal of the stylesheet, pooled as the engine pools them, in a
    // table sized for large stylesheets: the engine's has 101 buckets, searched one by one,
    // which DocBook's 20,000 strings turn into a tenth of its compilation. A small front table
    // answers the tokens that every expression repeats ("(", "$", "=") without the search.
    const xalanc::XalanDOMString& getPooledString(const xalanc::XalanDOMString& text) override;
    const xalanc::XalanDOMString& getPooledString(
        const xalanc::XalanDOMChar* text,
        xalanc::XalanDOMString::size_type length = xalanc::XalanDOMString::npos) override;

private:
    void check(const xercesc::Locator* locator, const xalanc::XalanDOMChar* str,
               std::size_t length);

    OperationGuard* m_guard;
    // Owned here as the engine's context owns the elements it makes: they live as long as the
    // stylesheet.
    std::vector<std::unique_ptr<ExsltDocumentElement>> m_documentElements;
    xalanc::XalanDOMStringPool m_strings;
    std::array<const xalanc::XalanDOMString*, 1024> m_recentlyPooled{};
    // After the pool: the copies point into it.
    ExpressionReuse m_reuse;
    PatternAlternatives m_alternatives;
    std::u16string m_reuseKey;
};

} // namespace prsm::detail
