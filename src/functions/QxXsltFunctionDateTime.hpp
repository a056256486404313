// GetDateTime: the time of day from the core library's clock.
#pragma once

#include "ZBLCore.hpp"
#include "functions/BuiltinFunction.hpp"

// GetDateTime(): the time of day as "hh:mm:ss.mmm", without a date. Returns a string object.
// Any argument ends the evaluation with the count text. Nothing is caught.
class FunctionGetDateTime final
    : public prsm::detail::BuiltinFunction<FunctionGetDateTime,
                                           prsm::detail::BuiltinId::GetDateTime>
{
};

namespace prsm::detail
{

// The time of day of ZBLUtSystemInfo::getTimeStamp(0): hour, minute and second of the stamp
// joined by ':', then '.' and up to five digits of its fraction ("09:05:03.042").
I18NString dateTimeText();

} // namespace prsm::detail
