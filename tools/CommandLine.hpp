// The command line of prsm-xslt: what the user asked for, or why the words make no sense.
#pragma once

#include "PRSMXslLimits.hpp"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace prsm::cli
{

// A stylesheet parameter from --stringparam (a string, passed as it is) or --param (an XPath
// expression).
struct Parameter
{
    enum class Kind
    {
        String,
        Expression,
    };

    Kind kind;
    std::string name;
    std::string value;
};

struct Options
{
    bool showHelp = false;
    bool showVersion = false;
    bool isVerbose = false;
    bool isQuiet = false;
    bool showTiming = false;
    // --noout: everything runs, nothing is written.
    bool isOutputDropped = false;
    std::vector<Parameter> parameters;
    // -o: a file, or a folder when the name ends in '/'.
    std::optional<std::string> output;
    unsigned jobs = 1;
    unsigned repeat = 1;
    // The stylesheets in the order they apply: the first, then each --then.
    std::vector<std::string> stylesheets;
    std::optional<std::string> xpath;
    // File names, or "-" for standard input, in the order their results are written.
    std::vector<std::string> sources;
    // The library's defaults, changed by the limit options.
    PRSMXslLimits limits;
    // exsl:document: --nowrite refuses every document, --write-dir limits them to the folders
    // named (anywhere without), --nomkdir refuses to create folders.
    bool isWriteRefused = false;
    bool isMkdirRefused = false;
    std::vector<std::string> writeFolders;

    bool isOutputFolder() const { return output && output->back() == '/'; }
};

class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name. Throws UsageError for anything malformed.
Options parseCommandLine(const std::vector<std::string>& args);

// Where -o DIR/ writes the result of `source`: DIR/ followed by the source's file name.
std::string resultPathInFolder(const std::string& folder, const std::string& source);

// The synopsis lines, shown after a usage error.
std::string usageSynopsis();

// The text of --help: the synopsis, then the options and the exit statuses.
std::string usageText();

} // namespace prsm::cli
