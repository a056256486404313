// The time each phase of a source's run takes, for --timing.
#include "Timing.hpp"

#include <cstdio>

namespace prsm::cli
{
namespace
{

std::string milliseconds(std::chrono::steady_clock::duration duration)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f ms",
                  std::chrono::duration<double, std::milli>(duration).count());
    return text;
}

} // namespace

std::vector<std::string> formatTiming(const std::string& source, const PhaseTimes& times)
{
    std::string phases = "timing " + source + ": parse " + milliseconds(times.parse) +
                         ", transform " + milliseconds(times.transform);
    if (times.runs > 1)
        phases += " (" + std::to_string(times.runs) + " runs, " +
                  milliseconds(times.transform / times.runs) + " each)";
    phases += ", output " + milliseconds(times.output);

    std::vector<std::string> lines{phases};
    for (const std::string& line : times.stylesheetLines)
        lines.push_back("timing " + source + ": " + line);
    return lines;
}

} // namespace prsm::cli
