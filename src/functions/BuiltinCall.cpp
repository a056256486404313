// The calling convention shared by the built-in extension functions.
#include "functions/BuiltinCall.hpp"

#include "QxXsltFunction.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XPath/XalanXPathException.hpp>

namespace prsm::detail
{
namespace
{

// Reports like the engine's own argument-count errors: the message goes to the execution
// context's problem listener, then the engine's XPath exception ends the evaluation. The locator
// of the call is deliberately not passed on.
[[noreturn]] void reportWrongCount(xalanc::XPathExecutionContext& executionContext,
                                   xalanc::XalanNode* context, const char* countText)
{
    const xalanc::XalanDOMString message(countText, executionContext.getMemoryManager());
    executionContext.problem(xalanc::XPathExecutionContext::eXPath,
                             xalanc::XPathExecutionContext::eError, message, nullptr, context);
    throw xalanc::XalanXPathException(message, executionContext.getExceptionMemoryManager(),
                                      nullptr);
}

} // namespace

std::vector<I18NString> acceptArguments(xalanc::XPathExecutionContext& executionContext,
                                        xalanc::XalanNode* context, const ArgumentVector& args,
                                        const BuiltinSignature& signature)
{
    if (args.size() != signature.arity)
        reportWrongCount(executionContext, context, signature.countText);
    if (signature.arity > 0 && args[0].null())
        ZBLAssertError(0, "ZBL_ASSERT(args[0].null() == false);")
            .raise(signature.assertion, 0, "ZBL_THROW");

    std::vector<I18NString> texts;
    texts.reserve(args.size());
    for (const xalanc::XObjectPtr& argument : args)
        texts.push_back(argument.null() ? I18NString()
                                        : QxXsltFunction::XalanDOMStringToI18NString(
                                              argument->str(executionContext)));
    return texts;
}

xalanc::XObjectPtr stringResult(xalanc::XPathExecutionContext& executionContext,
                                const I18NString& result)
{
    return executionContext.getXObjectFactory().createString(
        QxXsltFunction::I18NStringToXalanDOMString(result));
}

} // namespace prsm::detail
