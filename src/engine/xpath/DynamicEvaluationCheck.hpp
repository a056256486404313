// The check of one more level of dynamic evaluation against an operation's call depth.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xercesc/sax/Locator.hpp>

#include <cstddef>

namespace prsm::detail
{

class OperationGuard;

// Refuses a dynamic evaluation at `levels` levels of template calls and dynamic evaluations
// already running once they reach the guard's maxCallDepth (the default limits' for a null
// guard): records the reason in the guard and throws a LimitException placed at `locator`.
void checkDynamicEvaluation(OperationGuard* guard, std::size_t levels,
                            const xercesc::Locator* locator);

} // namespace prsm::detail
