// The limits on expressions that functions compile from text and run while another runs.
#include "functions/DynamicEvaluation.hpp"

#include <xalanc/XPath/XalanXPathException.hpp>

#include <string>

namespace prsm::detail
{
namespace
{

thread_local std::size_t t_unlimitedLevels = 0;

} // namespace

DynamicEvaluationScope::DynamicEvaluationScope(xalanc::XPathExecutionContext& context,
                                               const xalanc::XalanDOMString& expression,
                                               const xercesc::Locator* locator)
    : m_limits(dynamic_cast<EvaluationLimits*>(&context))
{
    if (m_limits != nullptr)
    {
        m_limits->enterEvaluation(expression, locator);
        return;
    }
    if (t_unlimitedLevels >= kUnlimitedContextLevels)
    {
        const std::string text = "dynamic evaluations nest deeper than " +
                                 std::to_string(kUnlimitedContextLevels) + " levels";
        throw xalanc::XalanXPathException(
            xalanc::XalanDOMString(text.c_str(), context.getMemoryManager()),
            context.getMemoryManager(), locator);
    }
    ++t_unlimitedLevels;
}

DynamicEvaluationScope::~DynamicEvaluationScope()
{
    if (m_limits != nullptr)
        m_limits->leaveEvaluation();
    else
        --t_unlimitedLevels;
}

} // namespace prsm::detail
