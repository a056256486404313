// What every fuzz target shares: the library started once, and limits that keep one input from
// reaching outside the process or running long.
#pragma once

#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"

namespace prsm::fuzz
{

// A transformer of the started library, made on first use and kept for the whole run. Inputs may
// name no resource at all (the allowed folder does not exist) and run for at most two seconds;
// every other limit is the library's default, so the limits themselves are fuzzed too.
inline PRSMXslTransformer& transformer()
{
    static PRSMXslTransformer& instance = []() -> PRSMXslTransformer&
    {
        QXXslTransformer_Initialize(nullptr);
        static PRSMXslTransformer made;
        PRSMXslLimits limits;
        limits.allowedDirectories = {"/nonexistent/prsm-fuzz"};
        limits.timeoutSeconds = 2;
        made.setLimits(limits);
        return made;
    }();
    return instance;
}

} // namespace prsm::fuzz
