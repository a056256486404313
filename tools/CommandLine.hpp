// The command line of prsm-xslt: what the user asked for, or why the words make no sense.
#pragma once

#include "PRSMXslLimits.hpp"

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace prsm::cli
{

// Exit statuses, one per class of failure; --help lists them.
enum ExitStatus : int
{
    kExitOk = 0,
    kExitUsage = 2,
    kExitUnreadableInput = 3,
    kExitTransformationFailed = 4,
    kExitUnwritableOutput = 5,
};

struct Options
{
    bool showHelp = false;
    bool showVersion = false;
    std::vector<std::pair<std::string, std::string>> stringParams;
    std::optional<std::string> outputFile;
    // The stylesheets in the order they apply: the first, then each --then.
    std::vector<std::string> stylesheets;
    std::optional<std::string> xpath;
    // A file name, or "-" for standard input.
    std::string source;
    // The library's defaults, changed by the limit options.
    PRSMXslLimits limits;
};

class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name. Throws UsageError for anything malformed.
Options parseCommandLine(const std::vector<std::string>& args);

// The two synopsis lines, shown after a usage error.
std::string usageSynopsis();

// The text of --help: the synopsis, then the options and the exit statuses.
std::string usageText();

} // namespace prsm::cli
