// The calling convention shared by the built-in extension functions.
#pragma once

#include "ZBLCore.hpp"

#include <xalanc/XPath/Function.hpp>
#include <xalanc/XPath/XObject.hpp>

#include <cstddef>
#include <stdexcept>
#include <vector>

namespace prsm::detail
{

// What the convention needs to know of one built-in function.
struct BuiltinSignature
{
    std::size_t arity;
    const char* countText;       // reported when the argument count is wrong
    ZBLSourceLocation assertion; // where an empty first argument is reported; unused for arity 0
};

using ArgumentVector = xalanc::Function::XObjectArgVectorType;

// Thrown by a function's work when the call is refused; the convention reports `what()` as it
// reports a wrong argument count.
class BuiltinRefusal : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Reports `text` through the execution context's problem listener, then ends the evaluation with
// the engine's XPath exception, as the engine reports its own misused functions.
[[noreturn]] void reportMisuse(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const char* text);

// Tests the argument count (reporting `countText` through the execution context, which ends the
// call by an engine XPath exception), asserts that the first argument is not empty (raising
// ZBLAssertError), and returns each argument's XPath string value in call order.
std::vector<I18NString> acceptArguments(xalanc::XPathExecutionContext& executionContext,
                                        xalanc::XalanNode* context, const ArgumentVector& args,
                                        const BuiltinSignature& signature);

// The string object that the execution context's factory makes from `result`.
xalanc::XObjectPtr stringResult(xalanc::XPathExecutionContext& executionContext,
                                const I18NString& result);

// The whole convention around a function's own work, which maps the argument texts to its result.
template <class Work>
xalanc::XObjectPtr callBuiltin(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const ArgumentVector& args,
                               const BuiltinSignature& signature, Work&& work)
{
    const std::vector<I18NString> texts =
        acceptArguments(executionContext, context, args, signature);
    I18NString result;
    try
    {
        result = work(texts);
    }
    catch (const BuiltinRefusal& refusal)
    {
        reportMisuse(executionContext, context, refusal.what());
    }
    return stringResult(executionContext, result);
}

} // namespace prsm::detail
