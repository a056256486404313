// The execution context of a transformation that obeys the operation's limits.
#pragma once

#include "engine/xslt/AttributeSetFrames.hpp"
#include "functions/ExpressionCompiler.hpp"

#include <cstddef>

namespace prsm::detail
{

class OperationGuard;

// The engine runs templates without recursing on the C++ stack, so a runaway recursion would
// only grow its heap; this context bounds the nesting of template instantiations instead, and
// at every template and every node the engine iterates over it gives the operation a step and
// ends the transformation with a LimitException once the operation must stop.
class GuardedExecutionContext final : public AttributeSetFrames, public ExpressionCompiler
{
public:
    // A context for the engines of one transformer, one engine at a time; each engine hands it
    // its objects and its operation's guard while it runs.
    explicit GuardedExecutionContext(xalanc::MemoryManager& manager);

    // The guard of the operation now running, or null between operations; the template depth
    // starts again from 0.
    void setGuard(OperationGuard* guard);

    void pushCurrentTemplate(const xalanc::ElemTemplate* theTemplate) override;
    void popCurrentTemplate() override;
    void pushCurrentNode(xalanc::XalanNode* theCurrentNode) override;
    void pushContextNodeList(const xalanc::NodeRefListBase& theList) override;

    // Compiles as CompiledXPath does, under the running operation's guard.
    std::unique_ptr<CompiledExpression> compileExpression(const xalanc::XalanDOMString& expression,
                                                          const xalanc::PrefixResolver& resolver,
                                                          const xercesc::Locator* locator) override;

private:
    void step(const xercesc::Locator* locator);

    OperationGuard* m_guard = nullptr;
    std::size_t m_templateDepth = 0;
};

} // namespace prsm::detail
