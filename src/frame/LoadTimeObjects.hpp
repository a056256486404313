// Objects constructed when the library is loaded.
#pragma once

#include "ZBLCore.hpp"

namespace prsm::detail
{

// Serialises process-wide start and stop; nothing else takes it.
extern ZBLThreadCriticalSection g_initLock;

} // namespace prsm::detail
