// Introspection of the process-wide start and stop, for the library's own checks.
#pragma once

#include <cstdint>

namespace prsm::detail
{

// Initialize calls not yet matched by a Terminate.
std::int32_t outstandingInitializations();

} // namespace prsm::detail
