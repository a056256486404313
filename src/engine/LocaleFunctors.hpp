// The collation and number formatting that an execution context borrows for one transformation.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/Include/XalanMemoryManagement.hpp>

#include <memory>

namespace XALAN_CPP_NAMESPACE
{
class ICUBridgeCollationCompareFunctor;
class ICUFormatNumberFunctor;
class StylesheetExecutionContextDefault;
} // namespace XALAN_CPP_NAMESPACE

namespace prsm::detail
{

// Installs the ICU collation and format-number functors into `context` and uninstalls and frees
// them when destroyed. The engine's own transformer installs the same pair: without them sorting
// goes by code point and format-number ignores its patterns. `context` must outlive this object.
class LocaleFunctors
{
public:
    LocaleFunctors(xalanc::StylesheetExecutionContextDefault& context,
                   xalanc::MemoryManager& manager);
    LocaleFunctors(const LocaleFunctors&) = delete;
    LocaleFunctors& operator=(const LocaleFunctors&) = delete;
    ~LocaleFunctors();

private:
    // Frees a functor through the manager that made it.
    template <class Functor>
    struct EngineDelete
    {
        xalanc::MemoryManager* manager;
        void operator()(Functor* functor) const { xalanc::XalanDestroy(*manager, *functor); }
    };

    xalanc::StylesheetExecutionContextDefault& m_context;
    std::unique_ptr<xalanc::ICUBridgeCollationCompareFunctor,
                    EngineDelete<xalanc::ICUBridgeCollationCompareFunctor>>
        m_collation;
    std::unique_ptr<xalanc::ICUFormatNumberFunctor, EngineDelete<xalanc::ICUFormatNumberFunctor>>
        m_formatNumber;
};

} // namespace prsm::detail
