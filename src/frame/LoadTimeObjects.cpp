// The load-time objects, defined in one unit so their construction order is their order here:
// the timer table first, then the start-up lock; unloading destroys them in reverse.
#include "frame/LoadTimeObjects.hpp"

#include "functions/TimerTable.hpp"

namespace prsm::detail
{

TimerTable g_timers;
ZBLThreadCriticalSection g_initLock(1);

} // namespace prsm::detail
