// The limits on expressions that functions compile from text and run while another runs.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XalanDOM/XalanDOMString.hpp>
#include <xercesc/sax/Locator.hpp>

#include <cstddef>

namespace prsm::detail
{

// Implemented by the execution contexts of operations that have limits. The engine measures the
// expressions of a stylesheet or a query before it compiles them and counts template calls; an
// expression that a function compiles from a string (dyn:evaluate, dyn:map, xalan:evaluate) is
// met only when it runs, inside the evaluation of another, so its function asks here first.
class EvaluationLimits
{
public:
    // Refuses, by the exception the context throws for its limits placed at `locator`, to
    // compile and run `expression` one level deeper: it nests deeper than maxExpressionDepth or
    // than the stack left can evaluate, or the levels of template calls and dynamic evaluations
    // would pass maxCallDepth. Counts the level otherwise.
    virtual void enterEvaluation(const xalanc::XalanDOMString& expression,
                                 const xercesc::Locator* locator) = 0;
    // Uncounts the level of the last enterEvaluation that did not throw.
    virtual void leaveEvaluation() noexcept = 0;

protected:
    ~EvaluationLimits() = default;
};

// One level of dynamic evaluation, counted by the context's limits for its lifetime. A context
// without limits gets a fixed bound on the levels of one thread instead, so that an expression
// evaluating itself ends before the engine's recursion exhausts the stack.
class DynamicEvaluationScope
{
public:
    // Throws as EvaluationLimits::enterEvaluation, or the engine's XPath exception past the
    // fixed bound.
    DynamicEvaluationScope(xalanc::XPathExecutionContext& context,
                           const xalanc::XalanDOMString& expression,
                           const xercesc::Locator* locator);
    DynamicEvaluationScope(const DynamicEvaluationScope&) = delete;
    DynamicEvaluationScope& operator=(const DynamicEvaluationScope&) = delete;
    ~DynamicEvaluationScope();

    // Levels a thread may nest without limits from its context.
    static constexpr std::size_t kUnlimitedContextLevels = 64;

private:
    EvaluationLimits* m_limits;
};

} // namespace prsm::detail
