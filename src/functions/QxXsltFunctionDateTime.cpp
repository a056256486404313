// GetDateTime: the time of day cut from the core library's time stamp.
#include "functions/QxXsltFunctionDateTime.hpp"

namespace prsm::detail
{

I18NString dateTimeText()
{
    const I18NString stamp(ZBLUtSystemInfo::getTimeStamp(0).c_str(), nullptr, -1);
    const I18NString colon(":", nullptr, -1);
    const I18NString dot(".", nullptr, -1);
    return stamp.substring(8, 10) + colon + stamp.substring(10, 12) + colon +
           stamp.substring(12, 14) + dot + stamp.substring(14, 19);
}

} // namespace prsm::detail
