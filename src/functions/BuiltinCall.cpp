// The calling convention shared by the built-in extension functions.
#include "functions/BuiltinCall.hpp"

#include "QxXsltFunction.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XPath/XalanXPathException.hpp>

namespace prsm::detail
{

// The locator of the call is deliberately not passed on, as the engine's own argument-count
// errors do.
void reportMisuse(xalanc::XPathExecutionContext& executionContext, xalanc::XalanNode* context,
                  const char* text)
{
    const xalanc::XalanDOMString message(text, executionContext.getMemoryManager());
    executionContext.problem(xalanc::XPathExecutionContext::eXPath,
                             xalanc::XPathExecutionContext::eError, message, nullptr, context);
    throw xalanc::XalanXPathException(message, executionContext.getExceptionMemoryManager(),
                                      nullptr);
}

std::vector<I18NString> acceptArguments(xalanc::XPathExecutionContext& executionContext,
                                        xalanc::XalanNode* context, const ArgumentVector& args,
                                        const BuiltinSignature& signature)
{
    if (args.size() != signature.arity)
        reportMisuse(executionContext, context, signature.countText);
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
