// Room made ahead in the heap of a thread that is about to compile a large stylesheet.
#pragma once

#include <cstddef>

namespace prsm::cli
{

// With the C library's allocator, a thread other than the first takes its memory from a heap of
// its own that grows one request at a time, each growth a system call that changes the
// protection of the pages it adds: compiling DocBook's stylesheets grows it some 3,500 times, a
// tenth of the compilation. Taking `bytes` in pieces and giving them back leaves the heap
// accessible that far at the cost of a few hundred calls; the pages themselves are handed back to
// the system, so nothing is resident that was not before. Does nothing with another allocator.
void reserveThreadHeap(std::size_t bytes);

} // namespace prsm::cli
