// The check of one more level of dynamic evaluation against an operation's call depth.
#include "engine/xpath/DynamicEvaluationCheck.hpp"

#include "PRSMXslLimits.hpp"
#include "engine/limits/LimitException.hpp"
#include "engine/limits/OperationGuard.hpp"

#include <string>

namespace prsm::detail
{

void checkDynamicEvaluation(OperationGuard* guard, std::size_t levels,
                            const xercesc::Locator* locator)
{
    static const PRSMXslLimits kDefaults;
    const std::size_t limit = (guard != nullptr ? guard->limits() : kDefaults).maxCallDepth;
    if (limit == 0 || levels < limit)
        return;
    const std::string reason = "templates and dynamic evaluations nest deeper than the limit of " +
                               std::to_string(limit) +
                               " (PRSMXslLimits::maxCallDepth) on a dynamic evaluation at depth " +
                               std::to_string(levels + 1);
    if (guard != nullptr)
        guard->fail(reason);
    throw LimitException(reason, locator);
}

} // namespace prsm::detail
