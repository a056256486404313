// dyn:map, the EXSLT dynamic function the engine lacks, and the dynamic evaluation the engine
// runs without limits.
#include "functions/exslt/ExsltDynamicFunctions.hpp"

#include "functions/DynamicEvaluation.hpp"
#include "functions/QuietConstructionContext.hpp"
#include "functions/exslt/ResultFragment.hpp"

#include <xalanc/PlatformSupport/DOMStringHelper.hpp>
#include <xalanc/XPath/ElementPrefixResolverProxy.hpp>
#include <xalanc/XPath/MutableNodeRefList.hpp>
#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPath.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XPath/XPathProcessorImpl.hpp>
#include <xalanc/XPath/XalanXPathException.hpp>
#include <xalanc/XalanDOM/XalanElement.hpp>

#include <charconv>
#include <cmath>
#include <limits>

namespace prsm::detail
{
namespace
{

// The number as string() writes it. The engine's own conversion overruns a fixed buffer for
// numbers of more than about a hundred digits, so those from 10^18 up, all integers, are written
// here, with every digit as the engine writes smaller ones.
xalanc::XalanDOMString numberText(double value, xalanc::MemoryManager& manager)
{
    if (std::isinf(value))
        value =
            value > 0 ? std::numeric_limits<double>::max() : std::numeric_limits<double>::lowest();
    if (std::fabs(value) < 1e18)
    {
        xalanc::XalanDOMString text(manager);
        xalanc::NumberToDOMString(value, text);
        return text;
    }
    char digits[400];
    const auto written =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 0);
    return xalanc::XalanDOMString(
        digits, manager, static_cast<xalanc::XalanDOMString::size_type>(written.ptr - digits));
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

// The caller's resolver, or without one the context element's, as the engine's own evaluate
// resolves prefixes.
const xalanc::PrefixResolver& resolverOf(const ExsltCall& call,
                                         const xalanc::ElementPrefixResolverProxy& elementResolver)
{
    const xalanc::PrefixResolver* const caller = call.executionContext.getPrefixResolver();
    return caller != nullptr ? *caller : elementResolver;
}

const xalanc::XalanElement* contextElement(const ExsltCall& call)
{
    return call.context != nullptr && call.context->getNodeType() == xalanc::XalanNode::ELEMENT_NODE
               ? static_cast<const xalanc::XalanElement*>(call.context)
               : nullptr;
}

xalanc::XObjectPtr emptyNodeSet(xalanc::XPathExecutionContext& executionContext)
{
    xalanc::XPathExecutionContext::BorrowReturnMutableNodeRefList nodes(executionContext);
    return executionContext.getXObjectFactory().createNodeSet(nodes);
}

// Compiles the first argument and evaluates it at the context node, one level of dynamic
// evaluation deeper. With `isExslt`, an expression that does not compile, the empty one
// included, gives the empty node-set; otherwise it ends the evaluation.
xalanc::XObjectPtr evaluate(const ExsltCall& call, bool isExslt)
{
    xalanc::XPathExecutionContext& executionContext = call.executionContext;
    const xalanc::XalanDOMString& expression = call.args[0]->str(executionContext);
    xalanc::MemoryManager& manager = executionContext.getMemoryManager();
    if (isExslt && expression.empty())
        return emptyNodeSet(executionContext);

    const DynamicEvaluationScope level(executionContext, expression, call.locator);
    const xalanc::ElementPrefixResolverProxy elementResolver(contextElement(call), manager);
    const xalanc::PrefixResolver& resolver = resolverOf(call, elementResolver);
    // The expression keeps strings of its construction context, so that is declared first.
    QuietConstructionContext constructionContext(manager);
    xalanc::XPath xpath(manager, call.locator);
    try
    {
        xalanc::XPathProcessorImpl processor(manager);
        processor.initXPath(xpath, constructionContext, expression, resolver, call.locator);
    }
    catch (const xalanc::XalanXPathException&)
    {
        if (!isExslt)
            throw;
        return emptyNodeSet(executionContext);
    }
    return xpath.execute(call.context, resolver, executionContext);
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
    if (nodes.getLength() == 0 || expression.empty())
        return result.finish();
    const DynamicEvaluationScope level(executionContext, expression, call.locator);
    QuietConstructionContext constructionContext(manager);
    xalanc::XPath xpath(manager, call.locator);
    try
    {
        xalanc::XPathProcessorImpl processor(manager);
        processor.initXPath(xpath, constructionContext, expression, resolver, call.locator);
    }
    catch (const xalanc::XalanXPathException&)
    {
        // The definition gives an expression that does not parse the empty node-set.
        return result.finish();
    }

    xalanc::MutableNodeRefList ordered(manager);
    ordered.addNodesInDocOrder(nodes, executionContext);
    for (xalanc::NodeRefListBase::size_type i = 0; i < ordered.getLength(); ++i)
    {
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
