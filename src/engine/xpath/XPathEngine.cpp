// The engine of an XPath query over one document.
#include "engine/xpath/XPathEngine.hpp"

#include "engine/limits/LimitException.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/parse/ParserLiaison.hpp"
#include "engine/xpath/ContextPositionHint.hpp"
#include "engine/xpath/DynamicEvaluationCheck.hpp"
#include "engine/xpath/XPathCompiler.hpp"
#include "functions/DynamicEvaluation.hpp"
#include "functions/WorkCheck.hpp"
#include "platform/EngineMemory.hpp"

#include <xalanc/DOMSupport/XalanDocumentPrefixResolver.hpp>
#include <xalanc/XPath/XObjectFactoryDefault.hpp>
#include <xalanc/XPath/XPathEnvSupportDefault.hpp>
#include <xalanc/XPath/XPathExecutionContextDefault.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>

namespace prsm::detail
{
namespace
{

// Gives the operation a step at every node the evaluation iterates over, and ends it with a
// LimitException once the operation must stop.
class GuardedXPathContext final : public xalanc::XPathExecutionContextDefault,
                                  public ExpressionCompiler,
                                  public WorkCheck,
                                  public EvaluationLimits
{
public:
    GuardedXPathContext(xalanc::XPathEnvSupport& envSupport, xalanc::DOMSupport& domSupport,
                        xalanc::XObjectFactory& objectFactory, OperationGuard& guard)
        : XPathExecutionContextDefault(envSupport, domSupport, objectFactory), m_guard(guard)
    {
    }

    void pushCurrentNode(xalanc::XalanNode* theCurrentNode) override
    {
        step();
        XPathExecutionContextDefault::pushCurrentNode(theCurrentNode);
    }

    void pushContextNodeList(const xalanc::NodeRefListBase& theList) override
    {
        step();
        XPathExecutionContextDefault::pushContextNodeList(theList);
    }

    size_type getContextNodeListPosition(const xalanc::XalanNode& contextNode) const override
    {
        return m_position.find(getContextNodeList(), contextNode);
    }

    void checkWork(const xercesc::Locator* locator) override { step(locator); }

    void enterEvaluation(const xercesc::Locator* locator) override
    {
        step(locator);
        checkDynamicEvaluation(&m_guard, m_levels, locator);
        ++m_levels;
    }

    void leaveEvaluation() noexcept override
    {
        if (m_levels > 0)
            --m_levels;
    }

    std::unique_ptr<CompiledExpression> compileExpression(const xalanc::XalanDOMString& expression,
                                                          const xalanc::PrefixResolver& resolver,
                                                          const xercesc::Locator* locator) override
    {
        return std::make_unique<CompiledXPath>(expression, resolver, m_guard, locator);
    }

private:
    void step(const xercesc::Locator* locator = nullptr)
    {
        if (const std::string* reason = m_guard.step())
            throw LimitException(*reason, locator);
    }

    OperationGuard& m_guard;
    std::size_t m_levels = 0;
    mutable ContextPositionHint m_position;
};

} // namespace

// Assembled as the engine's XPathEvaluator does. Each object is declared before those that refer
// to it, so the result goes first and the strings the expression keeps go last.
void evaluateXPath(xalanc::XalanDocument& document, const xalanc::XalanDOMString& expression,
                   OperationGuard& guard, FunctionRef<void(const xalanc::XObject&)> use)
{
    xalanc::MemoryManager& manager = engineMemory();
    ParserLiaison liaison(manager);
    DocumentSupport domSupport(liaison);

    const xalanc::XalanDocumentPrefixResolver resolver(&document, xalanc::XalanDOMString(manager),
                                                       manager);
    const CompiledXPath compiled(expression, resolver, guard);
    refuseVariableReferences("the expression", expression);

    xalanc::XPathEnvSupportDefault envSupport(manager);
    xalanc::XObjectFactoryDefault objectFactory(manager);
    GuardedXPathContext executionContext(envSupport, domSupport, objectFactory, guard);
    const xalanc::XObjectPtr result =
        compiled.xpath().execute(&document, resolver, executionContext);
    use(*result);
}

} // namespace prsm::detail
