// The collation and number formatting that an execution context borrows for one transformation.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/Include/XalanMemoryManagement.hpp>
#include <xalanc/PlatformSupport/XalanCollationServices.hpp>
#include <xalanc/XSLT/StylesheetExecutionContextDefault.hpp>

#include <memory>

namespace XALAN_CPP_NAMESPACE
{
class ICUBridgeCollationCompareFunctor;
class ICUFormatNumberFunctor;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

// Installs ICU collation and format-number functors into `context` and uninstalls and frees them
// when destroyed. The engine's own transformer installs the same pair: without them sorting goes
// by code point and format-number ignores its patterns. Each ICU functor is made on its first
// use: making both costs more than a small transformation, and most transformations use neither.
// `context` must outlive this object; one thread at a time.
class LocaleFunctors
{
public:
    LocaleFunctors(xalanc::StylesheetExecutionContextDefault& context,
                   xalanc::MemoryManager& manager);
    LocaleFunctors(const LocaleFunctors&) = delete;
    LocaleFunctors& operator=(const LocaleFunctors&) = delete;
    ~LocaleFunctors();

    // While it lasts, the collations of this thread compare the keys of an xsl:sort without lang
    // by code point, as xsltproc does (libxslt's xsltDefaultSortFunction compares them with
    // xmlStrcmp); the engine's default is the ICU collation of the process's locale. XSLT 1.0
    // leaves the order to the system environment.
    class CodePointScope
    {
    public:
        explicit CodePointScope(bool codePoints);
        ~CodePointScope();
        CodePointScope(const CodePointScope&) = delete;
        CodePointScope& operator=(const CodePointScope&) = delete;

    private:
        bool m_outer;
    };

private:
    // Frees a functor through the manager that made it.
    template <class Functor>
    struct EngineDelete
    {
        xalanc::MemoryManager* manager;
        void operator()(Functor* functor) const { xalanc::XalanDestroy(*manager, *functor); }
    };

    template <class Functor>
    using EnginePtr = std::unique_ptr<Functor, EngineDelete<Functor>>;

    using CaseOrder = xalanc::XalanCollationServices::eCaseOrder;

    class Collation final : public xalanc::XalanCollationServices::CollationCompareFunctor
    {
    public:
        explicit Collation(xalanc::MemoryManager& manager);
        ~Collation() override;

        int operator()(const xalanc::XalanDOMChar* left, const xalanc::XalanDOMChar* right,
                       CaseOrder caseOrder) const override;
        int operator()(const xalanc::XalanDOMChar* left, const xalanc::XalanDOMChar* right,
                       const xalanc::XalanDOMChar* locale, CaseOrder caseOrder) const override;

    private:
        const xalanc::ICUBridgeCollationCompareFunctor& icu() const;

        mutable EnginePtr<xalanc::ICUBridgeCollationCompareFunctor> m_icu;
    };

    class FormatNumber final : public xalanc::StylesheetExecutionContextDefault::FormatNumberFunctor
    {
    public:
        explicit FormatNumber(xalanc::MemoryManager& manager);
        ~FormatNumber() override;

        void operator()(xalanc::XPathExecutionContext& executionContext, double number,
                        const xalanc::XalanDOMString& pattern,
                        const xalanc::XalanDecimalFormatSymbols* symbols,
                        xalanc::XalanDOMString& result, const xalanc::XalanNode* context,
                        const xercesc::Locator* locator) const override;

    private:
        mutable EnginePtr<xalanc::ICUFormatNumberFunctor> m_icu;
    };

    xalanc::StylesheetExecutionContextDefault& m_context;
    Collation m_collation;
    FormatNumber m_formatNumber;
};

} // namespace prsm::detail
