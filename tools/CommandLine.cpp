// The command line of prsm-xslt.
#include "CommandLine.hpp"

#include <map>

namespace prsm::cli
{
namespace
{

enum class Option
{
    Help,
    Version,
    Verbose,
    Quiet,
    Timing,
    NoOutput,
    StringParam,
    Param,
    Output,
    Jobs,
    Repeat,
    Then,
    XPath,
    MaxDepth,
    MaxEntities,
    Timeout,
    MaxMemory,
    Network,
    NoDtd,
    AllowDir,
};

struct OptionShape
{
    Option option;
    int valueCount;
};

// Every spelling, short and long; a long option with one value also takes it as --name=VALUE,
// a short one as -oVALUE.
const std::map<std::string, OptionShape>& optionSpellings()
{
    static const std::map<std::string, OptionShape> spellings = {
        {"-h", {Option::Help, 0}},
        {"--help", {Option::Help, 0}},
        {"--version", {Option::Version, 0}},
        {"-v", {Option::Verbose, 0}},
        {"--verbose", {Option::Verbose, 0}},
        {"-q", {Option::Quiet, 0}},
        {"--quiet", {Option::Quiet, 0}},
        {"--timing", {Option::Timing, 0}},
        {"--noout", {Option::NoOutput, 0}},
        {"--stringparam", {Option::StringParam, 2}},
        {"--param", {Option::Param, 2}},
        {"-o", {Option::Output, 1}},
        {"--output", {Option::Output, 1}},
        {"-j", {Option::Jobs, 1}},
        {"--jobs", {Option::Jobs, 1}},
        {"--repeat", {Option::Repeat, 1}},
        {"--then", {Option::Then, 1}},
        {"--xpath", {Option::XPath, 1}},
        {"--maxdepth", {Option::MaxDepth, 1}},
        {"--max-entities", {Option::MaxEntities, 1}},
        {"--timeout", {Option::Timeout, 1}},
        {"--max-memory", {Option::MaxMemory, 1}},
        {"--net", {Option::Network, 0}},
        {"--nodtd", {Option::NoDtd, 0}},
        {"--allow-dir", {Option::AllowDir, 1}},
    };
    return spellings;
}

unsigned count(const std::string& option, const std::string& value, unsigned most)
{
    std::size_t end = 0;
    unsigned long number = 0;
    try
    {
        number = std::stoul(value, &end);
    }
    catch (const std::logic_error&)
    {
        end = 0;
    }
    if (end == 0 || end != value.size() || value[0] == '-' || number < 1 || number > most)
        throw UsageError(option + " needs a number from 1 to " + std::to_string(most));
    return static_cast<unsigned>(number);
}

// A whole number from 0 (no bound) for a limit option.
std::size_t bound(const std::string& option, const std::string& value)
{
    std::size_t end = 0;
    unsigned long long number = 0;
    try
    {
        number = std::stoull(value, &end);
    }
    catch (const std::logic_error&)
    {
        end = 0;
    }
    if (end == 0 || end != value.size() || value[0] == '-')
        throw UsageError(option + " needs a whole number, 0 for no bound");
    return static_cast<std::size_t>(number);
}

double seconds(const std::string& option, const std::string& value)
{
    std::size_t end = 0;
    double number = -1;
    try
    {
        number = std::stod(value, &end);
    }
    catch (const std::logic_error&)
    {
        end = 0;
    }
    if (end == 0 || end != value.size() || !(number >= 0))
        throw UsageError(option + " needs a number of seconds, 0 for no bound");
    return number;
}

Parameter parameter(Parameter::Kind kind, const std::string& option, const std::string& name,
                    const std::string& value)
{
    if (name.empty())
        throw UsageError(option + " needs a non-empty name");
    return {kind, name, value};
}

void apply(Options& options, Option option, const std::string& spelling,
           const std::vector<std::string>& values, std::vector<std::string>& chained)
{
    switch (option)
    {
    case Option::Help:
        options.showHelp = true;
        break;
    case Option::Version:
        options.showVersion = true;
        break;
    case Option::Verbose:
        options.isVerbose = true;
        break;
    case Option::Quiet:
        options.isQuiet = true;
        break;
    case Option::Timing:
        options.showTiming = true;
        break;
    case Option::NoOutput:
        options.isOutputDropped = true;
        break;
    case Option::StringParam:
        options.parameters.push_back(
            parameter(Parameter::Kind::String, spelling, values[0], values[1]));
        break;
    case Option::Param:
        if (values[1].empty())
            throw UsageError(spelling + " " + values[0] + " needs an expression");
        options.parameters.push_back(
            parameter(Parameter::Kind::Expression, spelling, values[0], values[1]));
        break;
    case Option::Output:
        if (values[0].empty() || values[0] == "-")
            throw UsageError(spelling + " needs a file name");
        options.output = values[0];
        break;
    case Option::Jobs:
        options.jobs = count(spelling, values[0], 1024);
        break;
    case Option::Repeat:
        options.repeat = count(spelling, values[0], 1000000);
        break;
    case Option::Then:
        chained.push_back(values[0]);
        break;
    case Option::XPath:
        options.xpath = values[0];
        break;
    case Option::MaxDepth:
        options.limits.maxCallDepth = bound(spelling, values[0]);
        break;
    case Option::MaxEntities:
        options.limits.maxEntityExpansions = bound(spelling, values[0]);
        break;
    case Option::Timeout:
        options.limits.timeoutSeconds = seconds(spelling, values[0]);
        break;
    case Option::MaxMemory:
        options.limits.maxMemoryMegabytes = bound(spelling, values[0]);
        break;
    case Option::Network:
        options.limits.allowNetwork = true;
        break;
    case Option::NoDtd:
        options.limits.allowDtd = false;
        break;
    case Option::AllowDir:
        options.limits.allowedDirectories.push_back(values[0]);
        break;
    }
}

std::string fileNameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void checkSources(const Options& options)
{
    for (const std::string& file : options.stylesheets)
        if (file.empty())
            throw UsageError("a STYLESHEET name cannot be empty");
    std::map<std::string, std::string> resultOwners;
    bool isStandardInputRead = false;
    for (const std::string& source : options.sources)
    {
        if (source.empty())
            throw UsageError("a SOURCE name cannot be empty");
        if (source == "-")
        {
            if (isStandardInputRead)
                throw UsageError("standard input (-) can be read only once");
            isStandardInputRead = true;
        }
        if (!options.isOutputFolder())
            continue;
        if (source == "-")
            throw UsageError("-o " + *options.output +
                             " names each result after its source; - has no name");
        const std::string result = resultPathInFolder(*options.output, source);
        const auto [owner, isNew] = resultOwners.emplace(result, source);
        if (!isNew)
            throw UsageError(owner->second + " and " + source + " would both be written to " +
                             result);
    }
}

void checkCombinations(const Options& options)
{
    if (options.output && options.isOutputDropped)
        throw UsageError("--noout and -o exclude each other");
    if (options.output && !options.isOutputFolder() && options.sources.size() > 1)
        throw UsageError("several sources need -o DIR/ (ending in /) or standard output");
}

} // namespace

Options parseCommandLine(const std::vector<std::string>& args)
{
    Options options;
    std::vector<std::string> positional;
    std::vector<std::string> chained;

    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (arg == "--")
        {
            positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1,
                              args.end());
            break;
        }
        if (arg.size() < 2 || arg[0] != '-')
        {
            positional.push_back(arg);
            continue;
        }
        const bool isLong = arg[1] == '-';
        const std::size_t nameEnd = isLong ? arg.find('=') : 2;
        const std::string spelling = arg.substr(0, nameEnd);
        const auto found = optionSpellings().find(spelling);
        const bool hasInlineValue = nameEnd < arg.size();
        if (found == optionSpellings().end() ||
            (hasInlineValue && found->second.valueCount != 1 && !isLong))
            throw UsageError("unknown option " + arg);
        const OptionShape shape = found->second;
        if (hasInlineValue && shape.valueCount != 1)
            throw UsageError(spelling + " takes " +
                             (shape.valueCount == 0 ? "no value" : "its values as two words"));

        std::vector<std::string> values;
        if (hasInlineValue)
            values.push_back(arg.substr(isLong ? nameEnd + 1 : nameEnd));
        while (static_cast<int>(values.size()) < shape.valueCount)
        {
            if (++i >= args.size())
                throw UsageError(spelling + " needs " +
                                 (shape.valueCount == 1 ? "a value" : "two values"));
            values.push_back(args[i]);
        }
        apply(options, shape.option, spelling, values, chained);
    }

    if (options.showHelp || options.showVersion)
        return options;

    const std::size_t firstSource = options.xpath && positional.size() == 1 ? 0 : 1;
    if (positional.size() < firstSource + 1)
        throw UsageError("missing STYLESHEET or SOURCE");
    if (firstSource == 1)
        options.stylesheets.push_back(positional.front());
    else if (!chained.empty())
        throw UsageError("--then needs a first STYLESHEET");
    options.stylesheets.insert(options.stylesheets.end(), chained.begin(), chained.end());
    options.sources.assign(positional.begin() + static_cast<long>(firstSource), positional.end());
    checkSources(options);
    checkCombinations(options);
    return options;
}

std::string resultPathInFolder(const std::string& folder, const std::string& source)
{
    return folder + fileNameOf(source);
}

std::string usageSynopsis()
{
    return "Usage: prsm-xslt [OPTIONS] STYLESHEET SOURCE...\n"
           "       prsm-xslt --xpath EXPR [OPTIONS] [STYLESHEET] SOURCE...\n";
}

std::string usageText()
{
    return usageSynopsis() +
           "\n"
           "Transforms each SOURCE (a file, or - for standard input) by the XSLT 1.0 STYLESHEET\n"
           "and writes the results, in the order of the sources, to standard output.\n"
           "\n"
           "Options:\n"
           "  -o, --output FILE         write the result to FILE; a regular file is replaced\n"
           "                            only when the transformation succeeds, a device or a\n"
           "                            FIFO is written into (also -oFILE, --output=FILE)\n"
           "  -o, --output DIR/         write the result of each SOURCE to DIR/<its file name>\n"
           "      --noout               run everything, write no result\n"
           "      --stringparam NAME VALUE\n"
           "                            pass VALUE to the stylesheet parameter NAME as a string\n"
           "      --param NAME EXPR     pass the value of the XPath expression EXPR to NAME\n"
           "      --then STYLESHEET     apply STYLESHEET to the previous result, in memory;\n"
           "                            repeatable, each SOURCE is parsed once\n"
           "      --xpath EXPR          print the result of EXPR over each SOURCE, or over the\n"
           "                            last result when stylesheets are given (a lone operand\n"
           "                            is a SOURCE, else the first is the STYLESHEET)\n"
           "  -j, --jobs N              transform N sources at a time; the results keep the\n"
           "                            order of the sources\n"
           "      --repeat N            run each transformation N times and write the last\n"
           "                            result, for measuring\n"
           "      --timing              print the time of each phase per source on stderr\n"
           "      --maxdepth N          templates may nest N deep (6000; 0: no bound)\n"
           "      --max-entities N      a document may expand N entity references (10000)\n"
           "      --timeout SECONDS     stop a transformation or query after SECONDS\n"
           "      --max-memory MB       stop one that grows the process by more than MB\n"
           "      --net                 let documents and stylesheets name network resources\n"
           "      --nodtd               refuse documents with a document type declaration\n"
           "      --allow-dir DIR       resources they name must lie in DIR; repeatable\n"
           "  -v, --verbose             tell on stderr what is being done\n"
           "  -q, --quiet               do not print xsl:message output and engine warnings\n"
           "  -h, --help                show this text\n"
           "      --version             show the version\n"
           "\n"
           "A source that fails is reported on stderr with its name; the others still run,\n"
           "and the exit status is the highest of their statuses.\n"
           "\n"
           "Exit status:\n"
           "  0  success\n"
           "  2  usage error\n"
           "  3  a stylesheet or a source cannot be read\n"
           "  4  a transformation or a query failed (xsl:message terminate=\"yes\" included),\n"
           "     or a limit stopped it\n"
           "  5  a result cannot be written (missing folder, a folder as FILE, full disk,\n"
           "     closed standard output)\n"
           "  6  the process ran out of memory\n";
}

} // namespace prsm::cli
