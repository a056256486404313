// The command line of prsm-xslt.
#include "CommandLine.hpp"

#include <cstdlib>

namespace prsm::cli
{
namespace
{

// A whole non-negative number, or why `option` cannot take `text`.
std::size_t count(const std::string& option, const std::string& text)
{
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    if (text.empty() || text[0] == '-' || *end != '\0')
        throw UsageError(option + " needs a whole number, not '" + text + "'");
    return static_cast<std::size_t>(value);
}

double seconds(const std::string& option, const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0))
        throw UsageError(option + " needs a number of seconds, not '" + text + "'");
    return value;
}

// The options that set a limit of the library; returns false for any other word. `next` reads
// the option's value.
template <class Next>
bool parseLimit(const std::string& arg, PRSMXslLimits& limits, Next&& next)
{
    if (arg == "--maxdepth")
        limits.maxCallDepth = count(arg, next());
    else if (arg == "--max-entities")
        limits.maxEntityExpansions = count(arg, next());
    else if (arg == "--timeout")
        limits.timeoutSeconds = seconds(arg, next());
    else if (arg == "--max-memory")
        limits.maxMemoryMegabytes = count(arg, next());
    else if (arg == "--net")
        limits.allowNetwork = true;
    else if (arg == "--nodtd")
        limits.allowDtd = false;
    else if (arg == "--allow-dir")
        limits.allowedDirectories.push_back(next());
    else
        return false;
    return true;
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
        auto operand = [&](std::size_t count)
        {
            if (i + count >= args.size())
                throw UsageError(arg + " needs " + (count == 1 ? "a value" : "two values"));
        };
        if (arg == "--help" || arg == "-h")
        {
            options.showHelp = true;
        }
        else if (arg == "--version")
        {
            options.showVersion = true;
        }
        else if (arg == "--stringparam")
        {
            operand(2);
            const std::string& name = args[i + 1];
            const std::string& value = args[i + 2];
            if (name.empty())
                throw UsageError("--stringparam needs a non-empty name");
            // The value travels as an XPath string literal in apostrophes.
            if (value.find('\'') != std::string::npos)
                throw UsageError("--stringparam " + name +
                                 ": a value cannot contain an apostrophe");
            options.stringParams.emplace_back(name, value);
            i += 2;
        }
        else if (arg == "-o" || arg == "--output")
        {
            operand(1);
            options.outputFile = args[++i];
            if (options.outputFile->empty() || *options.outputFile == "-")
                throw UsageError(arg + " needs a file name");
        }
        else if (arg == "--then")
        {
            operand(1);
            chained.push_back(args[++i]);
        }
        else if (arg == "--xpath")
        {
            operand(1);
            options.xpath = args[++i];
        }
        else if (parseLimit(arg, options.limits,
                            [&]() -> const std::string&
                            {
                                operand(1);
                                return args[++i];
                            }))
        {
        }
        else if (arg == "--")
        {
            positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1,
                              args.end());
            break;
        }
        else if (arg.size() > 1 && arg[0] == '-')
        {
            throw UsageError("unknown option " + arg);
        }
        else
        {
            positional.push_back(arg);
        }
    }

    if (options.showHelp || options.showVersion)
        return options;

    const std::size_t wanted = options.xpath && positional.size() == 1 ? 1 : 2;
    if (positional.size() != wanted)
        throw UsageError(positional.size() < wanted ? "missing STYLESHEET or SOURCE"
                                                    : "too many arguments");
    options.source = positional.back();
    if (wanted == 2)
        options.stylesheets.push_back(positional.front());
    else if (!chained.empty())
        throw UsageError("--then needs a first STYLESHEET");
    options.stylesheets.insert(options.stylesheets.end(), chained.begin(), chained.end());
    for (const std::string& file : options.stylesheets)
        if (file.empty())
            throw UsageError("a STYLESHEET name cannot be empty");
    if (options.source.empty())
        throw UsageError("the SOURCE name cannot be empty");
    if (options.xpath && options.outputFile)
        throw UsageError("--xpath prints to standard output; -o does not apply");
    return options;
}

std::string usageSynopsis()
{
    return "Usage: prsm-xslt [OPTIONS] STYLESHEET SOURCE\n"
           "       prsm-xslt --xpath EXPR [OPTIONS] [STYLESHEET] SOURCE\n";
}

std::string usageText()
{
    return usageSynopsis() +
           "\n"
           "Transforms SOURCE (a file, or - for standard input) by the XSLT 1.0 STYLESHEET and\n"
           "writes the result to standard output.\n"
           "\n"
           "Options:\n"
           "  --stringparam NAME VALUE  pass VALUE to the stylesheet parameter NAME as a string\n"
           "  -o, --output FILE         write the result to FILE (replaced only on success)\n"
           "  --then STYLESHEET         apply STYLESHEET to the previous result, in memory;\n"
           "                            repeatable, SOURCE is parsed once\n"
           "  --xpath EXPR              print the result of EXPR over SOURCE, or over the last\n"
           "                            result when stylesheets are given: a single node as XML,\n"
           "                            a string as text; wrap numbers and booleans in string()\n"
           "  --maxdepth N              templates may nest N deep (6000)\n"
           "  --max-entities N          a document may expand N entity references (10000)\n"
           "  --timeout SECONDS         stop a transformation or query after SECONDS\n"
           "  --max-memory MB           stop one that grows the process by more than MB\n"
           "  --net                     let documents and stylesheets name network resources\n"
           "  --nodtd                   refuse documents with a document type declaration\n"
           "  --allow-dir DIR           resources they name must lie in DIR; repeatable\n"
           "  -h, --help                show this text\n"
           "  --version                 show the version\n"
           "\n"
           "Exit status:\n"
           "  0  success\n"
           "  2  usage error\n"
           "  3  a stylesheet or the source cannot be read\n"
           "  4  the transformation or the query failed, or a limit stopped it\n"
           "  5  the output cannot be written\n";
}

} // namespace prsm::cli
