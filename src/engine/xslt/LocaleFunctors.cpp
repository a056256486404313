// The collation and number formatting that an execution context borrows for one transformation.
#include "engine/xslt/LocaleFunctors.hpp"

#include <xalanc/ICUBridge/ICUBridgeCollationCompareFunctor.hpp>
#include <xalanc/ICUBridge/ICUFormatNumberFunctor.hpp>

namespace prsm::detail
{
namespace
{

thread_local bool t_codePoints = false;

// UTF-16 code units in code point order: a surrogate stands for a code point above U+FFFF.
int rank(xalanc::XalanDOMChar unit)
{
    return unit >= 0xD800 && unit <= 0xDFFF ? unit + 0x2000 : unit >= 0xE000 ? unit - 0x800 : unit;
}

int compareCodePoints(const xalanc::XalanDOMChar* left, const xalanc::XalanDOMChar* right)
{
    while (*left != 0 && *left == *right)
    {
        ++left;
        ++right;
    }
    return rank(*left) - rank(*right);
}

} // namespace

LocaleFunctors::CodePointScope::CodePointScope(bool codePoints) : m_outer(t_codePoints)
{
    t_codePoints = codePoints;
}

LocaleFunctors::CodePointScope::~CodePointScope()
{
    t_codePoints = m_outer;
}

LocaleFunctors::LocaleFunctors(xalanc::StylesheetExecutionContextDefault& context,
                               xalanc::MemoryManager& manager)
    : m_context(context), m_collation(manager), m_formatNumber(manager)
{
    m_context.installCollationCompareFunctor(&m_collation);
    m_context.installFormatNumberFunctor(&m_formatNumber);
}

LocaleFunctors::~LocaleFunctors()
{
    m_context.uninstallFormatNumberFunctor();
    m_context.uninstallCollationCompareFunctor();
}

LocaleFunctors::Collation::Collation(xalanc::MemoryManager& manager) : m_icu(nullptr, {&manager}) {}

LocaleFunctors::Collation::~Collation() = default;

LocaleFunctors::FormatNumber::FormatNumber(xalanc::MemoryManager& manager)
    : m_icu(nullptr, {&manager})
{
}

LocaleFunctors::FormatNumber::~FormatNumber() = default;

const xalanc::ICUBridgeCollationCompareFunctor& LocaleFunctors::Collation::icu() const
{
    if (!m_icu)
        m_icu.reset(
            xalanc::ICUBridgeCollationCompareFunctor::create(*m_icu.get_deleter().manager, true));
    return *m_icu;
}

int LocaleFunctors::Collation::operator()(const xalanc::XalanDOMChar* left,
                                          const xalanc::XalanDOMChar* right,
                                          CaseOrder caseOrder) const
{
    if (t_codePoints)
        return compareCodePoints(left, right);
    return icu()(left, right, caseOrder);
}

int LocaleFunctors::Collation::operator()(const xalanc::XalanDOMChar* left,
                                          const xalanc::XalanDOMChar* right,
                                          const xalanc::XalanDOMChar* locale,
                                          CaseOrder caseOrder) const
{
    return icu()(left, right, locale, caseOrder);
}

void LocaleFunctors::FormatNumber::operator()(xalanc::XPathExecutionContext& executionContext,
                                              double number, const xalanc::XalanDOMString& pattern,
                                              const xalanc::XalanDecimalFormatSymbols* symbols,
                                              xalanc::XalanDOMString& result,
                                              const xalanc::XalanNode* context,
                                              const xercesc::Locator* locator) const
{
    if (!m_icu)
        m_icu.reset(xalanc::ICUFormatNumberFunctor::create(*m_icu.get_deleter().manager));
    (*m_icu)(executionContext, number, pattern, symbols, result, context, locator);
}

} // namespace prsm::detail
