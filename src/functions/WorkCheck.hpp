// The check that a function doing long work makes between the pieces of it.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xercesc/sax/Locator.hpp>

namespace prsm::detail
{

// Implemented by the execution contexts of operations that have limits. The engine checks the
// limits only between the steps it takes; a function that loops over a large node-set or builds
// a large value is one step, so it checks between its pieces itself.
class WorkCheck
{
public:
    // Ends the evaluation, by the exception the context throws for its limits, once the
    // operation must stop; `locator` places the report.
    virtual void checkWork(const xercesc::Locator* locator) = 0;

protected:
    ~WorkCheck() = default;
};

// Checks through `context` when it is such a context; other contexts have no limits to check.
inline void checkWork(xalanc::XPathExecutionContext& context, const xercesc::Locator* locator)
{
    if (auto* check = dynamic_cast<WorkCheck*>(&context))
        check->checkWork(locator);
}

} // namespace prsm::detail
