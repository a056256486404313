// exsl:node-set, in place of the engine's, which warns about a node-set and refuses other values.
#include "functions/exslt/ExsltCommonFunctions.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XalanEXSLT/XalanEXSLTCommonImpl.hpp>

namespace prsm::detail
{
namespace
{

xalanc::XObjectPtr nodeSetWorker(const ExsltCall& call)
{
    const xalanc::XObjectPtr& argument = call.args[0];
    const xalanc::XObject::eObjectType type = argument->getType();
    if (type == xalanc::XObject::eTypeNodeSet)
        return argument;

    // The engine's function turns a fragment or a string into a node-set correctly.
    static const xalanc::XalanEXSLTFunctionNodeSet engineFunction;
    if (type == xalanc::XObject::eTypeResultTreeFrag || type == xalanc::XObject::eTypeString)
        return engineFunction.execute(call.executionContext, call.context, call.args, call.locator);

    xalanc::XPathExecutionContext& context = call.executionContext;
    xalanc::XalanDOMString text(context.getMemoryManager());
    argument->str(context, text);
    xalanc::Function::XObjectArgVectorType args(context.getMemoryManager());
    args.push_back(context.getXObjectFactory().createString(text));
    return engineFunction.execute(context, call.context, args, call.locator);
}

} // namespace

const ExsltModule& exsltCommonModule()
{
    static const ExsltModule module{"http://exslt.org/common",
                                    {{"node-set", kOneArgument, nodeSetWorker}}};
    return module;
}

} // namespace prsm::detail
