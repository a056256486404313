// The table of the eight built-in functions: names, calling conventions, usage texts and work.
#include "functions/BuiltinFunction.hpp"
#include "functions/QxXsltFunctionDateTime.hpp"
#include "functions/QxXsltFunctionResAccess.hpp"
#include "functions/QxXsltFunctionTimer.hpp"

namespace prsm::detail
{
namespace
{

using Texts = std::vector<I18NString>;

template <class Function>
QxXsltFunction* make()
{
    return new Function();
}

// The work of a function that reads no argument, or only the first.
template <I18NString (*kWork)()>
I18NString withoutTexts(const Texts&)
{
    return kWork();
}

template <I18NString (*kWork)(const I18NString&)>
I18NString withFirstText(const Texts& texts)
{
    return kWork(texts[0]);
}

// Assertions name the units the functions have always been reported from.
constexpr const char* kTimerUnit = "QxXsltFunctionTimer";
constexpr const char* kResourceUnit = "QxXsltFunctionResAccess";

// GetDateTime's text serves as count text and usage text.
constexpr const char* kDateTimeUsage = "qxfunc:GetDateTime() function takes no arguments!";

// The texts, the units and the line numbers of the assertions are a compatibility contract:
// hosts match on them. "TimerDestroyID" and the "one argument" of GetLocalizedString included.
const BuiltinDescriptor kDescriptors[kBuiltinCount] = {
    {"GetLocalizedString",
     {2, "The FunctionGetLocalizedString() function takes 2 arguments!", {kResourceUnit, 26}},
     "qxfunc:GetLocalizedString() takes one argument",
     localizedString,
     make<FunctionGetLocalizedString>},
    {"GetDateTime",
     {0, kDateTimeUsage, {nullptr, 0}},
     kDateTimeUsage,
     withoutTexts<dateTimeText>,
     make<FunctionGetDateTime>},
    {"TimerCreate",
     {0, "The TimerCreate() function takes no arguments!", {nullptr, 0}},
     "qxfunc:TimerCreate() takes no arguments!",
     withoutTexts<timerCreate>,
     make<FunctionTimerCreate>},
    {"TimerStart",
     {1, "qxfunc:TimerStart() function takes 1 argument!", {kTimerUnit, 139}},
     "qxfunc:TimerStart() takes a single timer id argument!",
     withFirstText<timerStart>,
     make<FunctionTimerStart>},
    {"TimerStop",
     {1, "The TimerStop() function takes 1 argument!", {kTimerUnit, 205}},
     "qxfunc:TimerStop() takes a single timer id argument!",
     withFirstText<timerStop>,
     make<FunctionTimerStop>},
    {"TimerTotal",
     {1, "The TimerTotal() function takes 1 argument!", {kTimerUnit, 274}},
     "qxfunc:TimerTotal() takes a single timer id argument!",
     withFirstText<timerTotal>,
     make<FunctionTimerTotal>},
    {"TimerReset",
     {1, "The TimerReset() function takes 1 argument!", {kTimerUnit, 351}},
     "qxfunc:TimerReset() takes a single timer id argument!",
     withFirstText<timerReset>,
     make<FunctionTimerReset>},
    {"TimerDestroy",
     {1, "The TimerDestroyID() function takes 1 argument!", {kTimerUnit, 432}},
     "qxfunc:TimerDestroy() takes a single timer id argument!",
     withFirstText<timerDestroy>,
     make<FunctionTimerDestroy>},
};

} // namespace

const BuiltinDescriptor (&builtinDescriptors())[kBuiltinCount]
{
    return kDescriptors;
}

} // namespace prsm::detail
