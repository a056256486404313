// The one engine function class behind every EXSLT function of this library.
#pragma once

// The message codes need the namespace macro defined first.
#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/PlatformSupport/LocalMsgIndex.hpp>
#include <xalanc/XPath/Function.hpp>

#include <cstddef>

namespace prsm::detail
{

// The argument counts a function accepts, and the engine's message that states them.
struct ExsltArity
{
    std::size_t fewest;
    std::size_t most;
    xalanc::XalanMessages::Codes countError;
};

inline constexpr ExsltArity kNoArguments{
    0, 0, xalanc::XalanMessages::FunctionDoesNotAcceptAnyArguments_1Param};
inline constexpr ExsltArity kNoneOrOneArgument{
    0, 1, xalanc::XalanMessages::FunctionTakesZeroOrOneArg_1Param};
inline constexpr ExsltArity kOneArgument{
    1, 1, xalanc::XalanMessages::EXSLTFunctionAcceptsOneArgument_1Param};
inline constexpr ExsltArity kOneOrTwoArguments{
    1, 2, xalanc::XalanMessages::EXSLTFunctionAccepts1Or2Argument_1Param};
inline constexpr ExsltArity kTwoArguments{
    2, 2, xalanc::XalanMessages::EXSLTFunctionAcceptsTwoArguments_1Param};
inline constexpr ExsltArity kTwoOrThreeArguments{
    2, 3, xalanc::XalanMessages::EXSLTFunctionAcceptsTwoOrThreeArguments_1Param};
inline constexpr ExsltArity kThreeArguments{
    3, 3, xalanc::XalanMessages::FunctionTakesThreeArguments_1Param};

// One call as the engine makes it, with an argument count the function accepts.
struct ExsltCall
{
    xalanc::XPathExecutionContext& executionContext;
    xalanc::XalanNode* context; // the context node, or null
    const xalanc::Function::XObjectArgVectorType& args;
    const xercesc::Locator* locator; // of the calling expression, or null
};

// An EXSLT function: checks the argument count, then leaves the call to its worker. A wrong
// count ends the evaluation through the engine's error report, with the arity's message naming
// the function ("tokenize()"). Lets the worker's exceptions through.
class ExsltFunction : public xalanc::Function
{
public:
    using Worker = xalanc::XObjectPtr (*)(const ExsltCall& call);

    // `name` is the local name the function is installed under; it must outlive the function.
    ExsltFunction(const char* name, ExsltArity arity, Worker worker);

    using Function::execute;

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const XObjectArgVectorType& args,
                               const xercesc::Locator* locator) const override;
    ExsltFunction* clone(xalanc::MemoryManager& manager) const override;

    const char* name() const { return m_name; }

protected:
    const xalanc::XalanDOMString& getError(xalanc::XalanDOMString& buffer) const override;

private:
    const char* m_name;
    ExsltArity m_arity;
    Worker m_worker;
};

} // namespace prsm::detail
