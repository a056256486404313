// The levels of dynamic evaluation, counted against an operation's call depth.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xercesc/sax/Locator.hpp>

namespace prsm::detail
{

// Implemented by the execution contexts of operations that have limits. An expression that a
// function compiles from a string (dyn:evaluate, dyn:map, xalan:evaluate) runs inside the
// evaluation of another, and may call such a function again: each level counts against
// maxCallDepth as a template instantiation does, so that an expression evaluating itself ends
// with a status. The expression itself is measured where it is compiled (ExpressionCompiler).
class EvaluationLimits
{
public:
    // Refuses one level more, by the exception the context throws for its limits placed at
    // `locator`, once the levels of template calls and dynamic evaluations reach maxCallDepth;
    // counts the level otherwise.
    virtual void enterEvaluation(const xercesc::Locator* locator) = 0;
    // Uncounts the level of the last enterEvaluation that did not throw.
    virtual void leaveEvaluation() noexcept = 0;

protected:
    ~EvaluationLimits() = default;
};

// One level of dynamic evaluation, counted by the context's limits for its lifetime; a context
// without limits counts nothing.
class DynamicEvaluationScope
{
public:
    // Throws as EvaluationLimits::enterEvaluation.
    DynamicEvaluationScope(xalanc::XPathExecutionContext& context, const xercesc::Locator* locator)
        : m_limits(dynamic_cast<EvaluationLimits*>(&context))
    {
        if (m_limits != nullptr)
            m_limits->enterEvaluation(locator);
    }
    DynamicEvaluationScope(const DynamicEvaluationScope&) = delete;
    DynamicEvaluationScope& operator=(const DynamicEvaluationScope&) = delete;
    ~DynamicEvaluationScope()
    {
        if (m_limits != nullptr)
            m_limits->leaveEvaluation();
    }

private:
    EvaluationLimits* m_limits;
};

} // namespace prsm::detail
