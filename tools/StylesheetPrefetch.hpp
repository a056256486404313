// The stylesheets compiled on a thread of their own while the first sources are read.
#pragma once

#include <cstddef>
#include <thread>

namespace prsm::cli
{

class Console;
struct Options;

// Compiles the stylesheet files of `options` through a transformer of its own, set up as the
// workers' are, so that each worker finds them compiled (or waits for them) once it has read its
// source: the two overlap on a machine with a second core. The messages a compilation gives are
// printed when it succeeds; one that fails is left to the worker, which compiles and reports it
// again. Started only where every worker has one source at most: in a longer batch the workers
// themselves overlap the compilation with reading, and the prefetch's thread would leave its
// memory beside theirs. Not started either for a run that measures its phases (--timing,
// --repeat) or that has no stylesheet file. Needs the library started for its whole life.
class StylesheetPrefetch
{
public:
    StylesheetPrefetch(const Options& options, std::size_t workers, const Console& console);
    StylesheetPrefetch(const StylesheetPrefetch&) = delete;
    StylesheetPrefetch& operator=(const StylesheetPrefetch&) = delete;
    // Waits for the compilations to end, and for their messages to be printed.
    void finish();
    ~StylesheetPrefetch() { finish(); }

private:
    std::thread m_thread;
};

} // namespace prsm::cli
