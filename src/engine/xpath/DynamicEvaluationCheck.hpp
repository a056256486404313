// The check of one more level of dynamic evaluation against an operation's limits.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>
#include <xercesc/sax/Locator.hpp>

#include <cstddef>

namespace prsm::detail
{

class OperationGuard;

// Refuses to compile and run `expression` as a dynamic evaluation at `levels` levels of template
// calls and dynamic evaluations already running, by recording the reason in `guard` and throwing
// a LimitException placed at `locator`: the expression is measured as the stylesheet's and the
// query's own are (maxExpressionDepth, and the stack left on this thread), and the levels count
// against maxCallDepth. A null guard checks against the default limits.
void checkDynamicEvaluation(OperationGuard* guard, std::size_t levels,
                            const xalanc::XalanDOMString& expression,
                            const xercesc::Locator* locator);

} // namespace prsm::detail
