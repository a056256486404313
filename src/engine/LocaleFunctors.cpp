// The collation and number formatting that an execution context borrows for one transformation.
#include "engine/LocaleFunctors.hpp"

#include <xalanc/ICUBridge/ICUBridgeCollationCompareFunctor.hpp>
#include <xalanc/ICUBridge/ICUFormatNumberFunctor.hpp>
#include <xalanc/XSLT/StylesheetExecutionContextDefault.hpp>

namespace prsm::detail
{

// Both functors exist before either is installed, so a failed creation leaves the context as it
// was and the unique_ptr members free what was made.
LocaleFunctors::LocaleFunctors(xalanc::StylesheetExecutionContextDefault& context,
                               xalanc::MemoryManager& manager)
    : m_context(context),
      m_collation(xalanc::ICUBridgeCollationCompareFunctor::create(manager, true), {&manager}),
      m_formatNumber(xalanc::ICUFormatNumberFunctor::create(manager), {&manager})
{
    m_context.installCollationCompareFunctor(m_collation.get());
    m_context.installFormatNumberFunctor(m_formatNumber.get());
}

LocaleFunctors::~LocaleFunctors()
{
    m_context.uninstallFormatNumberFunctor();
    m_context.uninstallCollationCompareFunctor();
}

} // namespace prsm::detail
