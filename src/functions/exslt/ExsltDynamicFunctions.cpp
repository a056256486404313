// dyn:map, the EXSLT dynamic function the engine lacks, and the dynamic evaluation the engine
// runs without limits.
#include "functions/exslt/ExsltDynamicFunctions.hpp"

#include "functions/DynamicEvaluation.hpp"
#include "functions/ExpressionCompiler.hpp"
#include "functions/WorkCheck.hpp"
#include "functions/exslt/DocumentOrder.hpp"
#include "functions/exslt/ResultFragment.hpp"
#include "platform/InterposedNumberToString.hpp"

#include <xalanc/XPath/ElementPrefixResolverProxy.hpp>
#include <xalanc/XPath/MutableNodeRefList.hpp>
#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPath.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XPath/XalanXPathException.hpp>
#include <xalanc/XalanDOM/XalanElement.hpp>

#include <cmath>
#include <limits>

namespace prsm::detail
{
namespace
{

// The number as string() writes it, Infinity and -Infinity as the largest and the smallest
// double.
xalanc::XalanDOMString numberText(double value, xalanc::MemoryManager& manager)
{
    if (std::isinf(value))
        value =
            value > 0 ? std::numeric_limits<double>::max() : std::numeric_limits<double>::lowest();
    xalanc::XalanDOMString text(manager);
    return appendNumberText(value, text);
}

void appendValue(ResultFragment& result, const xalanc::XObject& value,
                 xalanc::XPathExecutionContext& executionContext)
{
    xalanc::MemoryManager& manager = executionContext.getMemoryManager();
    switch (value.getType())
    {
    case xalanc::XObject::eTypeNodeSet:
    case xalanc::XObject::eTypeNodeSetNodeProxy:
    {
        const xalanc::NodeRefListBase& nodes = value.nodeset();
        for (xalanc::NodeRefListBase::size_type i = 0; i < nodes.getLength(); ++i)
            result.addNode(*nodes.item(i));
        break;
    }
    case xalanc::XObject::eTypeBoolean:
        result.appendCommonElement(
            u"boolean",
            xalanc::XalanDOMString(value.boolean(executionContext) ? u"true" : u"", manager));
        break;
    case xalanc::XObject::eTypeNumber:
        result.appendCommonElement(u"number", numberText(value.num(executionContext), manager));
        break;
    default:
        result.appendCommonElement(u"string", value.str(executionContext));
        break;
    }
}

const xalanc::XalanElement* contextElement(const ExsltCall& call)
{
    return call.context != nullptr && call.context->getNodeType() == xalanc::XalanNode::ELEMENT_NODE
               ? static_cast<const xalanc::XalanElement*>(call.context)
               : nullptr;
}

// The caller's resolver, or without one the context element's.
const xalanc::PrefixResolver& resolverOf(const ExsltCall& call,
                                         const xalanc::ElementPrefixResolverProxy& elementResolver)
{
    const xalanc::PrefixResolver* const caller = call.executionContext.getPrefixResolver();
    return caller != nullptr ? *caller : elementResolver;
}

xalanc::XObjectPtr emptyNodeSet(xalanc::XPathExecutionContext& executionContext)
{
    xalanc::XPathExecutionContext::BorrowReturnMutableNodeRefList nodes(executionContext);
    return executionContext.getXObjectFactory().createNodeSet(nodes);
}

// Compiles the first argument and evaluates it at the context node, one level of dynamic
// evaluation deeper. With `isExslt`, an expression that does not parse, the empty one included,
// gives the empty node-set; otherwise it ends the evaluation.
xalanc::XObjectPtr evaluate(const ExsltCall& call, bool isExslt)
{
    xalanc::XPathExecutionContext& executionContext = call.executionContext;
    const xalanc::XalanDOMString& expression = call.args[0]->str(executionContext);
    ExpressionCompiler* const compiler = expressionCompilerOf(executionContext);
    if ((isExslt && expression.empty()) || compiler == nullptr)
        return emptyNodeSet(executionContext);

    const DynamicEvaluationScope level(executionContext, call.locator);
    const xalanc::ElementPrefixResolverProxy elementResolver(contextElement(call),
                                                             executionContext.getMemoryManager());
    const xalanc::PrefixResolver& resolver = resolverOf(call, elementResolver);
    std::unique_ptr<CompiledExpression> compiled;
    try
    {
        compiled = compiler->compileExpression(expression, resolver, call.locator);
    }
    catch (const xalanc::XalanXPathException&)
    {
        if (!isExslt)
            throw;
        return emptyNodeSet(executionContext);
    }
    return compiled->xpath().execute(call.context, resolver, executionContext);
}

xalanc::XObjectPtr exsltEvaluateWorker(const ExsltCall& call)
{
    return evaluate(call, true);
}

xalanc::XObjectPtr xalanEvaluateWorker(const ExsltCall& call)
{
    return evaluate(call, false);
}

xalanc::XObjectPtr mapWorker(const ExsltCall& call)
{
    xalanc::XPathExecutionContext& executionContext = call.executionContext;
    const xalanc::NodeRefListBase& nodes = call.args[0]->nodeset();
    const xalanc::XalanDOMString& expression = call.args[1]->str(executionContext);
    xalanc::MemoryManager& manager = executionContext.getMemoryManager();

    const xalanc::ElementPrefixResolverProxy elementResolver(contextElement(call), manager);
    const xalanc::PrefixResolver& resolver = resolverOf(call, elementResolver);

    ResultFragment result(executionContext);
    ExpressionCompiler* const compiler = expressionCompilerOf(executionContext);
    if (nodes.getLength() == 0 || expression.empty() || compiler == nullptr)
        return result.finish();
    const DynamicEvaluationScope level(executionContext, call.locator);
    std::unique_ptr<CompiledExpression> compiled;
    try
    {
        compiled = compiler->compileExpression(expression, resolver, call.locator);
    }
    catch (const xalanc::XalanXPathException&)
    {
        // The definition gives an expression that does not parse the empty node-set.
        return result.finish();
    }
    const xalanc::XPath& xpath = compiled->xpath();

    xalanc::MutableNodeRefList ordered(manager);
    for (xalanc::XalanNode* node : inDocumentOrder(nodes, executionContext))
        ordered.addNode(node);
    ordered.setDocumentOrder();
    for (xalanc::NodeRefListBase::size_type i = 0; i < ordered.getLength(); ++i)
    {
        checkWork(executionContext, call.locator);
        const xalanc::XObjectPtr value =
            xpath.execute(ordered.item(i), resolver, ordered, executionContext);
        appendValue(result, *value, executionContext);
    }
    return result.finish();
}

} // namespace

const ExsltModule& exsltDynamicModule()
{
    static const ExsltModule module{
        "http://exslt.org/dynamic",
        {{"map", kTwoArguments, mapWorker}, {"evaluate", kOneArgument, exsltEvaluateWorker}}};
    return module;
}

const ExsltModule& xalanEvaluateModule()
{
    static const ExsltModule module{"http://xml.apache.org/xalan",
                                    {{"evaluate", kOneArgument, xalanEvaluateWorker}}};
    return module;
}

} // namespace prsm::detail
