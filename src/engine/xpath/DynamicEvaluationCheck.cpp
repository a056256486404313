// The check of one more level of dynamic evaluation against an operation's limits.
#include "engine/xpath/DynamicEvaluationCheck.hpp"

#include "engine/limits/ExpressionCheck.hpp"
#include "engine/limits/LimitException.hpp"
#include "engine/limits/OperationGuard.hpp"

#include <string>

namespace prsm::detail
{

void checkDynamicEvaluation(OperationGuard* guard, std::size_t levels,
                            const xalanc::XalanDOMString& expression,
                            const xercesc::Locator* locator)
{
    static const PRSMXslLimits kDefaults;
    const PRSMXslLimits& limits = guard != nullptr ? guard->limits() : kDefaults;
    std::string refusal = expressionRefusal(expression.c_str(), expression.length(), limits);
    if (refusal.empty() && limits.maxCallDepth > 0 && levels >= limits.maxCallDepth)
        refusal = "templates and dynamic evaluations nest deeper than the limit of " +
                  std::to_string(limits.maxCallDepth) +
                  " (PRSMXslLimits::maxCallDepth) on a dynamic evaluation at depth " +
                  std::to_string(levels + 1);
    if (refusal.empty())
        return;
    if (guard != nullptr)
        guard->fail(refusal);
    throw LimitException(refusal, locator);
}

} // namespace prsm::detail
