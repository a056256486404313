// dyn:map, the EXSLT dynamic function the engine lacks.
#include "functions/exslt/ExsltDynamicFunctions.hpp"

#include "functions/ExpressionCompiler.hpp"
#include "functions/exslt/ResultFragment.hpp"
#include "platform/InterposedNumberToString.hpp"

#include <xalanc/XPath/ElementPrefixResolverProxy.hpp>
#include <xalanc/XPath/MutableNodeRefList.hpp>
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

xalanc::XObjectPtr mapWorker(const ExsltCall& call)
{
    xalanc::XPathExecutionContext& executionContext = call.executionContext;
    const xalanc::NodeRefListBase& nodes = call.args[0]->nodeset();
    const xalanc::XalanDOMString& expression = call.args[1]->str(executionContext);
    xalanc::MemoryManager& manager = executionContext.getMemoryManager();

    // Without a resolver from the caller, prefixes resolve on the context element.
    const auto* const contextElement =
        call.context != nullptr && call.context->getNodeType() == xalanc::XalanNode::ELEMENT_NODE
            ? static_cast<const xalanc::XalanElement*>(call.context)
            : nullptr;
    const xalanc::ElementPrefixResolverProxy elementResolver(contextElement, manager);
    const xalanc::PrefixResolver* const resolver = executionContext.getPrefixResolver() != nullptr
                                                       ? executionContext.getPrefixResolver()
                                                       : &elementResolver;

    ResultFragment result(executionContext);
    ExpressionCompiler* const compiler = expressionCompilerOf(executionContext);
    if (nodes.getLength() == 0 || expression.empty() || compiler == nullptr)
        return result.finish();
    std::unique_ptr<CompiledExpression> compiled;
    try
    {
        compiled = compiler->compileExpression(expression, *resolver, call.locator);
    }
    catch (const xalanc::XalanXPathException&)
    {
        // The definition gives an expression that does not parse the empty node-set.
        return result.finish();
    }
    const xalanc::XPath& xpath = compiled->xpath();

    xalanc::MutableNodeRefList ordered(manager);
    ordered.addNodesInDocOrder(nodes, executionContext);
    for (xalanc::NodeRefListBase::size_type i = 0; i < ordered.getLength(); ++i)
    {
        const xalanc::XObjectPtr value =
            xpath.execute(ordered.item(i), *resolver, ordered, executionContext);
        appendValue(result, *value, executionContext);
    }
    return result.finish();
}

} // namespace

const ExsltModule& exsltDynamicModule()
{
    static const ExsltModule module{"http://exslt.org/dynamic",
                                    {{"map", kTwoArguments, mapWorker}}};
    return module;
}

} // namespace prsm::detail
