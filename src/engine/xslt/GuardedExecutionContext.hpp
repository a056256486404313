// The execution context of a transformation that obeys the operation's limits.
#pragma once

#include "engine/documents/ResultDocuments.hpp"
#include "engine/xpath/ContextPositionHint.hpp"
#include "engine/xslt/CurrentTemplateRule.hpp"
#include "engine/xslt/DeclaredVariablesContext.hpp"
#include "engine/xslt/KeyTablesByName.hpp"
#include "engine/xslt/StableGenerateId.hpp"
#include "engine/xslt/TransformationTables.hpp"
#include "functions/DynamicEvaluation.hpp"
#include "functions/ExpressionCompiler.hpp"
#include "functions/WorkCheck.hpp"

#include <cstddef>
#include <memory>
#include <vector>

namespace prsm::detail
{

class GuardedTreeBuilder;
class OperationGuard;

// The engine runs templates without recursing on the C++ stack, so a runaway recursion would
// only grow its heap; this context bounds the nesting of template instantiations instead, and
// at every template and every node the engine iterates over it gives the operation a step and
// ends the transformation with a LimitException once the operation must stop. Levels of dynamic
// evaluation count with the template instantiations. Result-tree fragments are built through a
// GuardedTreeBuilder, which gives a step at each node; and each string the engine borrows from
// the context is a step, as the only place inside XSLTEngineImpl::copyNamespaceAttributes
// (XSLT/XSLTEngineImpl.cpp) that reaches the context: copying an element with many namespace
// declarations costs their square there. It also carries the secondary result
// documents of the running transformation, and answers that exsl:document is available.
class GuardedExecutionContext final : public DeclaredVariablesContext,
                                      public ExpressionCompiler,
                                      public EvaluationLimits,
                                      public DocumentHost,
                                      public WorkCheck
{
public:
    // A context for the engines of one transformer, one engine at a time; each engine hands it
    // its objects and its operation's guard while it runs.
    explicit GuardedExecutionContext(xalanc::MemoryManager& manager);
    ~GuardedExecutionContext() override;

    // The guard of the operation now running, or null between operations; the template depth
    // starts again from 0.
    void setGuard(OperationGuard* guard);

    // The documents of the transformation now running, or null between transformations.
    void setResultDocuments(ResultDocuments* documents) { m_documents = documents; }
    ResultDocuments* resultDocuments() const override { return m_documents; }

    // The numbers generate-id() gives the documents of the transformation now running.
    DocumentNumbers& documentNumbers() { return m_documentNumbers; }

    // The template lists of each mode, for the transformation now running.
    ModeLists& modeLists() { return m_modeLists; }

    // The nodes of positional pattern steps, for the transformation now running.
    PositionalSteps& positionalSteps() { return m_positionalSteps; }

    // Forgets the tables of the transformation before (which reset() forgets too, where the
    // engine calls it) and makes `source` the first document generate-id() numbers, whichever
    // it meets first.
    void beginTransformation(const xalanc::XalanDocument& source);

    // xsl:number without a count pattern, numbering an attribute: the engine spells the pattern
    // for the attribute's name with '&' (ElemNumber::s_atString, xalanc/XSLT/ElemNumber.cpp)
    // where '@' was meant, and the pattern fails to compile. No pattern begins with '&'.
    const xalanc::XPath* createMatchPattern(const xalanc::XalanDOMString& str,
                                            const xalanc::PrefixResolver& resolver) override;

    using xalanc::StylesheetExecutionContextDefault::elementAvailable;
    bool elementAvailable(const xalanc::XalanQName& theQName) const override;

    void pushCurrentTemplate(const xalanc::ElemTemplate* theTemplate) override;
    void popCurrentTemplate() override;
    // The current template rule (CurrentTemplateRule.hpp), for xsl:apply-imports.
    const xalanc::ElemTemplate* getCurrentTemplate() const override;
    void pushCurrentNode(xalanc::XalanNode* theCurrentNode) override;
    void pushContextNodeList(const xalanc::NodeRefListBase& theList) override;
    size_type getContextNodeListPosition(const xalanc::XalanNode& contextNode) const override
    {
        return m_position.find(getContextNodeList(), contextNode);
    }
    void checkWork(const xercesc::Locator* locator) override { step(locator); }
    void pushOutputContext(xalanc::FormatterListener* listener = nullptr) override;
    void popOutputContext() override;
    xalanc::XalanDOMString& getCachedString() override;
    void reset() override;

    void setStylesheetRoot(const xalanc::StylesheetRoot* theStylesheet) override;
    // A key's nodes from a table of that key alone (KeyTablesByName); the engine's search, which
    // reports a key the stylesheet does not declare, for the others.
    void getNodeSetByKey(xalanc::XalanNode* context, const xalanc::XalanQName& qname,
                         const xalanc::XalanDOMString& ref, const xercesc::Locator* locator,
                         xalanc::MutableNodeRefList& nodelist) override;
    void getNodeSetByKey(xalanc::XalanNode* context, const xalanc::XalanDOMString& name,
                         const xalanc::XalanDOMString& ref, const xercesc::Locator* locator,
                         xalanc::MutableNodeRefList& nodelist) override;

    // Compiles as CompiledXPath does, under the running operation's guard.
    std::unique_ptr<CompiledExpression> compileExpression(const xalanc::XalanDOMString& expression,
                                                          const xalanc::PrefixResolver& resolver,
                                                          const xercesc::Locator* locator) override;

    void enterEvaluation(const xercesc::Locator* locator) override;
    void leaveEvaluation() noexcept override;

private:
    void step(const xercesc::Locator* locator);
    // The tables kept for one transformation: its documents and stylesheet may go with it.
    void forgetTransformationTables();

    OperationGuard* m_guard = nullptr;
    ResultDocuments* m_documents = nullptr;
    CurrentTemplateRule m_rule;
    DocumentNumbers m_documentNumbers;
    ModeLists m_modeLists;
    PositionalSteps m_positionalSteps;
    const xalanc::StylesheetRoot* m_stylesheetRoot = nullptr;
    KeyTablesByName m_keyTables;
    mutable ContextPositionHint m_position;
    std::size_t m_templateDepth = 0;
    std::vector<std::unique_ptr<GuardedTreeBuilder>> m_builders;
};

} // namespace prsm::detail
