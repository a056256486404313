// The command line of prsm-xslt.
#include "CommandLine.hpp"

#include <map>
#include <string_view>
#include <type_traits>

namespace prsm::cli
{
namespace
{

// One option as the user gave it: the spelling used and its values.
struct Given
{
    const std::string& spelling;
    const std::vector<std::string>& values;

    const std::string& value() const { return values[0]; }
};

// How an option reads in --help: its values' names, then what it does. A '\n' in the text
// continues it on the next line of the column.
struct Usage
{
    std::string_view values;
    std::string_view text;
};

// One row of the options table: its spellings, its usage (the number of words of Usage::values
// is the number of values it takes), a second usage where the option reads two ways, and what it
// does to the options. A long option with one value also takes it as --name=VALUE, a short one as
// -oVALUE.
struct OptionRow
{
    std::string_view shortName;
    std::string_view longName;
    Usage usage;
    void (*apply)(Options&, const Given&);
    Usage alternative = {};

    std::size_t valueCount() const
    {
        std::size_t words = 0;
        for (std::size_t at = 0; at < usage.values.size(); ++at)
            words += usage.values[at] != ' ' && (at == 0 || usage.values[at - 1] == ' ');
        return words;
    }
};

// `value` as a number, if all of it is a number of the kind Number (a negative one is none for
// an unsigned kind).
template <typename Number>
std::optional<Number> numberIn(const std::string& value)
{
    if (value.empty() || (std::is_unsigned_v<Number> && value[0] == '-'))
        return std::nullopt;
    std::size_t end = 0;
    try
    {
        Number number{};
        if constexpr (std::is_floating_point_v<Number>)
            number = std::stod(value, &end);
        else
            number = std::stoull(value, &end);
        if (end == value.size())
            return number;
    }
    catch (const std::logic_error&)
    {
    }
    return std::nullopt;
}

unsigned count(const Given& given, unsigned most)
{
    const auto number = numberIn<unsigned long long>(given.value());
    if (!number || *number < 1 || *number > most)
        throw UsageError(given.spelling + " needs a number from 1 to " + std::to_string(most));
    return static_cast<unsigned>(*number);
}

// A whole number from 0 (no bound) for a limit option.
std::size_t bound(const Given& given)
{
    const auto number = numberIn<unsigned long long>(given.value());
    if (!number)
        throw UsageError(given.spelling + " needs a whole number, 0 for no bound");
    return static_cast<std::size_t>(*number);
}

double seconds(const Given& given)
{
    const auto number = numberIn<double>(given.value());
    if (!number || !(*number >= 0))
        throw UsageError(given.spelling + " needs a number of seconds, 0 for no bound");
    return *number;
}

Parameter parameter(Parameter::Kind kind, const Given& given)
{
    if (given.values[0].empty())
        throw UsageError(given.spelling + " needs a non-empty name");
    return {kind, given.values[0], given.values[1]};
}

// Every option, in the order of --help.
constexpr OptionRow kOptions[] = {
    {"-o",
     "--output",
     {"FILE", "write the result to FILE; a regular file is replaced\n"
              "only when the transformation succeeds, a device or a\n"
              "FIFO is written into (also -oFILE, --output=FILE)"},
     [](Options& o, const Given& g)
     {
         if (g.value().empty() || g.value() == "-")
             throw UsageError(g.spelling + " needs a file name");
         o.output = g.value();
     },
     {"DIR/", "write the result of each SOURCE to DIR/<its file name>"}},
    {"",
     "--noout",
     {"", "run everything, write no result"},
     [](Options& o, const Given&) { o.isOutputDropped = true; }},
    {"",
     "--stringparam",
     {"NAME VALUE", "pass VALUE to the stylesheet parameter NAME as a string"},
     [](Options& o, const Given& g)
     { o.parameters.push_back(parameter(Parameter::Kind::String, g)); }},
    {"",
     "--param",
     {"NAME EXPR", "pass the value of the XPath expression EXPR to NAME"},
     [](Options& o, const Given& g)
     {
         if (g.values[1].empty())
             throw UsageError(g.spelling + " " + g.values[0] + " needs an expression");
         o.parameters.push_back(parameter(Parameter::Kind::Expression, g));
     }},
    {"",
     "--then",
     {"STYLESHEET", "apply STYLESHEET to the previous result, in memory;\n"
                    "repeatable, each SOURCE is parsed once"},
     [](Options& o, const Given& g) { o.stylesheets.push_back(g.value()); }},
    {"",
     "--xpath",
     {"EXPR", "print the result of EXPR over each SOURCE, or over the\n"
              "last result when stylesheets are given (a lone operand\n"
              "is a SOURCE, else the first is the STYLESHEET)"},
     [](Options& o, const Given& g) { o.xpath = g.value(); }},
    {"-j",
     "--jobs",
     {"N", "transform N sources at a time; the results keep the\n"
           "order of the sources"},
     [](Options& o, const Given& g) { o.jobs = count(g, 1024); }},
    {"",
     "--repeat",
     {"N", "run each transformation N times and write the last\n"
           "result, for measuring"},
     [](Options& o, const Given& g) { o.repeat = count(g, 1000000); }},
    {"",
     "--timing",
     {"", "print the time of each phase per source on stderr"},
     [](Options& o, const Given&) { o.showTiming = true; }},
    {"",
     "--maxdepth",
     {"N", "templates may nest N deep (6000; 0: no bound)"},
     [](Options& o, const Given& g) { o.limits.maxCallDepth = bound(g); }},
    {"",
     "--max-entities",
     {"N", "a document may expand N entity references (10000)"},
     [](Options& o, const Given& g) { o.limits.maxEntityExpansions = bound(g); }},
    {"",
     "--timeout",
     {"SECONDS", "stop a transformation or query after SECONDS"},
     [](Options& o, const Given& g) { o.limits.timeoutSeconds = seconds(g); }},
    {"",
     "--max-memory",
     {"MB", "stop one that grows the process by more than MB"},
     [](Options& o, const Given& g) { o.limits.maxMemoryMegabytes = bound(g); }},
    {"",
     "--net",
     {"", "let documents and stylesheets name network resources"},
     [](Options& o, const Given&) { o.limits.allowNetwork = true; }},
    {"",
     "--nodtd",
     {"", "refuse documents with a document type declaration"},
     [](Options& o, const Given&) { o.limits.allowDtd = false; }},
    {"",
     "--xinclude",
     {"", "process XInclude in sources and in what document() loads"},
     [](Options& o, const Given&) { o.limits.processXInclude = true; }},
    {"",
     "--allow-dir",
     {"DIR", "resources they name must lie in DIR; repeatable"},
     [](Options& o, const Given& g)
     {
         if (g.value().empty())
             throw UsageError(g.spelling + " needs a folder name");
         o.limits.allowedDirectories.push_back(g.value());
     }},
    {"",
     "--catalog",
     {"FILE", "look identifiers up in the XML catalog FILE instead of\n"
              "XML_CATALOG_FILES or /etc/xml/catalog; repeatable"},
     [](Options& o, const Given& g)
     {
         if (g.value().empty())
             throw UsageError(g.spelling + " needs a file name");
         o.limits.catalogs = PRSMXslLimits::Catalogs::Listed;
         o.limits.catalogFiles.push_back(g.value());
     }},
    {"",
     "--no-catalogs",
     {"", "look no identifier up in XML catalogs"},
     [](Options& o, const Given&)
     {
         o.limits.catalogs = PRSMXslLimits::Catalogs::None;
         o.limits.catalogFiles.clear();
     }},
    {"",
     "--nowrite",
     {"", "refuse the documents a stylesheet writes (exsl:document)"},
     [](Options& o, const Given&) { o.isWriteRefused = true; }},
    {"",
     "--nomkdir",
     {"", "refuse to create folders for them"},
     [](Options& o, const Given&) { o.isMkdirRefused = true; }},
    {"",
     "--write-dir",
     {"DIR", "write them only under DIR; repeatable (default: anywhere)"},
     [](Options& o, const Given& g)
     {
         if (g.value().empty())
             throw UsageError(g.spelling + " needs a folder name");
         o.writeFolders.push_back(g.value());
     }},
    {"",
     "--strict",
     {"", "refuse what xsltproc accepts but XSLT does not define\n"
          "(such as unknown attributes on XSLT elements); write\n"
          "numbers unrounded, order sort keys without lang by the\n"
          "locale and keep each module's exclusions to itself"},
     [](Options& o, const Given&) { o.isStrict = true; }},
    {"-v",
     "--verbose",
     {"", "tell on stderr what is being done, and what each\n"
          "identifier an XML catalog maps is mapped to"},
     [](Options& o, const Given&)
     {
         o.isVerbose = true;
         o.limits.reportCatalogResolutions = true;
     }},
    {"-q",
     "--quiet",
     {"", "do not print xsl:message output and engine warnings"},
     [](Options& o, const Given&) { o.isQuiet = true; }},
    {"-h",
     "--help",
     {"", "show this help and exit"},
     [](Options& o, const Given&) { o.showHelp = true; }},
    {"",
     "--version",
     {"", "show the version and exit"},
     [](Options& o, const Given&) { o.showVersion = true; }},
};

const OptionRow* optionSpelled(const std::string& spelling)
{
    for (const OptionRow& row : kOptions)
        if (spelling == row.shortName || spelling == row.longName)
            return &row;
    return nullptr;
}

// "  -o, --output FILE         write ...", the text in a column of its own; a usage too wide
// for the space before it starts the text on the next line.
std::string helpLines(const OptionRow& row, const Usage& usage)
{
    constexpr std::size_t kColumn = 28;
    std::string lines = "  ";
    lines += row.shortName.empty() ? "    " : std::string(row.shortName) + ", ";
    lines += row.longName;
    if (!usage.values.empty())
        lines += " " + std::string(usage.values);
    lines += lines.size() + 2 > kColumn ? "\n" + std::string(kColumn, ' ')
                                        : std::string(kColumn - lines.size(), ' ');
    for (const char c : usage.text)
        lines += c == '\n' ? "\n" + std::string(kColumn, ' ') : std::string(1, c);
    return lines + "\n";
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
        const OptionRow* row = optionSpelled(spelling);
        const bool hasInlineValue = nameEnd < arg.size();
        const std::size_t valueCount = row ? row->valueCount() : 0;
        if (!row || (hasInlineValue && valueCount != 1 && !isLong))
            throw UsageError("unknown option " + arg);
        if (hasInlineValue && valueCount != 1)
            throw UsageError(spelling + " takes " +
                             (valueCount == 0 ? "no value" : "its values as two words"));

        std::vector<std::string> values;
        if (hasInlineValue)
            values.push_back(arg.substr(isLong ? nameEnd + 1 : nameEnd));
        while (values.size() < valueCount)
        {
            if (++i >= args.size())
                throw UsageError(spelling + " needs " +
                                 (valueCount == 1 ? "a value" : "two values"));
            values.push_back(args[i]);
        }
        row->apply(options, {spelling, values});
    }

    if (options.showHelp || options.showVersion)
        return options;

    // The stylesheets so far are those of --then: the first comes before them.
    const std::size_t firstSource = options.xpath && positional.size() == 1 ? 0 : 1;
    if (positional.size() < firstSource + 1)
        throw UsageError("missing STYLESHEET or SOURCE");
    if (firstSource == 1)
        options.stylesheets.insert(options.stylesheets.begin(), positional.front());
    else if (!options.stylesheets.empty())
        throw UsageError("--then needs a first STYLESHEET");
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
           "   or: prsm-xslt --xpath EXPR [OPTIONS] [STYLESHEET] SOURCE...\n";
}

std::string usageText()
{
    std::string options;
    for (const OptionRow& row : kOptions)
    {
        options += helpLines(row, row.usage);
        if (!row.alternative.values.empty())
            options += helpLines(row, row.alternative);
    }
    return usageSynopsis() +
           "\n"
           "Transforms each SOURCE (a file, or - for standard input) by the XSLT 1.0 STYLESHEET\n"
           "and writes the results, in the order of the sources, to standard output.\n"
           "\n"
           "Options:\n" +
           options +
           "\n"
           "A source that fails is reported on stderr with its name; the others still run,\n"
           "and the exit status is the highest of their statuses.\n"
           "\n"
           "Exit status:\n"
           "  0  success\n"
           "  2  usage error\n"
           "  3  a stylesheet or a source cannot be read\n"
           "  4  a source does not parse, or a transformation or a query failed\n"
           "     (xsl:message terminate=\"yes\" included)\n"
           "  5  a result cannot be written (missing folder, a folder as FILE, full disk,\n"
           "     closed standard output)\n"
           "  6  a limit refused a source, a stylesheet or a query (--max-entities, --nodtd,\n"
           "     --timeout and the other limits)\n"
           "  7  the process ran out of memory\n";
}

} // namespace prsm::cli
