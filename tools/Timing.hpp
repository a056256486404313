// The time each phase of a source's run takes, for --timing.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace prsm::cli
{

// Reads the time since it started or since the last lap.
class Stopwatch
{
public:
    std::chrono::steady_clock::duration lap()
    {
        const auto now = std::chrono::steady_clock::now();
        const auto elapsed = now - m_start;
        m_start = now;
        return elapsed;
    }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

struct PhaseTimes
{
    // Reading and parsing the source into a document handle.
    std::chrono::steady_clock::duration parse{};
    // Every run of the stylesheets and the query, the writing into the output's buffer included.
    std::chrono::steady_clock::duration transform{};
    unsigned runs = 1;
    // Writing out what is buffered and putting a file in place.
    std::chrono::steady_clock::duration output{};
    // One line per stylesheet on whether it was compiled or reused, once the transformer says.
    std::vector<std::string> stylesheetLines;
};

// The lines --timing prints for `source`.
std::vector<std::string> formatTiming(const std::string& source, const PhaseTimes& times);

} // namespace prsm::cli
