// The run of one source: read it, transform it, query it, write the result.
#pragma once

#include "Failure.hpp"

#include <string>
#include <vector>

namespace prsm::cli
{

class Console;
class Worker;
struct Options;

// What became of one source.
struct Outcome
{
    int status = kExitOk;
    // The failure's line, naming the source; empty on success.
    std::string message;
    // The result, when it was held in memory.
    std::string text;
    // Lines to print before the failure's line, such as the --timing lines.
    std::vector<std::string> reports;
};

// Where a source's result goes when neither --noout nor -o says otherwise.
enum class DefaultOutput
{
    // Straight to standard output, as the result comes.
    StandardOutput,
    // Into Outcome::text, for whoever writes the results in order.
    Memory,
};

// Runs `source` through the stylesheets and the query of `options` on `worker`. Never throws:
// every failure, the engine's exceptions included, comes back as the outcome's status and line.
Outcome runSource(Worker& worker, const Options& options, const Console& console,
                  const std::string& source, DefaultOutput defaultOutput);

} // namespace prsm::cli
