// The extension functions that every transformer starts with.
#include "transformer/BuiltinFunctionSet.hpp"

#include "PRSMXslTransformer.hpp"
#include "functions/QxXsltFunctionDateTime.hpp"
#include "functions/QxXsltFunctionResAccess.hpp"
#include "functions/QxXsltFunctionTimer.hpp"

namespace prsm::detail
{
namespace
{

// The transformer keeps a clone; the temporary and the name go when this returns.
template <class Function>
void install(PRSMXslTransformer& transformer, const char* name)
{
    const I18NString functionName(name, nullptr, -1);
    const Function temporary;
    transformer.installExternalFunction(functionName, temporary);
}

} // namespace

void installBuiltinFunctions(PRSMXslTransformer& transformer)
{
    install<FunctionGetLocalizedString>(transformer, "GetLocalizedString");
    install<FunctionGetDateTime>(transformer, "GetDateTime");
    install<FunctionTimerCreate>(transformer, "TimerCreate");
    install<FunctionTimerStart>(transformer, "TimerStart");
    install<FunctionTimerStop>(transformer, "TimerStop");
    install<FunctionTimerTotal>(transformer, "TimerTotal");
    install<FunctionTimerReset>(transformer, "TimerReset");
    install<FunctionTimerDestroy>(transformer, "TimerDestroy");
}

} // namespace prsm::detail
