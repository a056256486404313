// The EXSLT date and time functions the engine lacks: all of the module but date:date-time.
#pragma once

#include "functions/exslt/ExsltModule.hpp"

namespace prsm::detail
{

// The twenty-four functions in http://exslt.org/dates-and-times. Arguments that are not in a
// permitted lexical form give the empty string or NaN, as each function's definition says; a
// wrong argument count ends the evaluation through the engine's error report. Functions whose
// argument is optional read the current local date and time, with its zone, from
// ZBLUtSystemInfo::getTimeStamp(0) when it is left out.
const ExsltModule& exsltDatesAndTimesModule();

} // namespace prsm::detail
