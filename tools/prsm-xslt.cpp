// prsm-xslt: XSLT transformations and XPath queries from the shell.
#include "CommandLine.hpp"
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "TempFile.hpp"

#include <xalanc/Include/XalanVersion.hpp>
#include <xercesc/util/XercesVersion.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace
{

using namespace prsm::cli;

// A failure that ends the run with its own exit status and one line on stderr.
struct Failure
{
    int status;
    std::string message;
};

// Holds the library started for the life of the run.
class LibrarySession
{
public:
    LibrarySession() { QXXslTransformer_Initialize(nullptr); }
    LibrarySession(const LibrarySession&) = delete;
    LibrarySession& operator=(const LibrarySession&) = delete;
    ~LibrarySession() { QXXslTransformer_Terminate(nullptr); }
};

// Owns the handles of one run and gives them back to their transformer, which outlives it.
class Handles
{
public:
    explicit Handles(PRSMXslTransformer& transformer) : m_transformer(transformer) {}
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;
    ~Handles()
    {
        for (Dom2Dom*& handle : m_handles)
            m_transformer.destroyDom2Dom(handle);
    }

    Dom2Dom& create()
    {
        m_handles.push_back(m_transformer.createDom2Dom());
        return *m_handles.back();
    }

private:
    PRSMXslTransformer& m_transformer;
    std::vector<Dom2Dom*> m_handles;
};

void requireReadable(const std::string& file)
{
    std::ifstream probe(file, std::ios::binary);
    if (!probe || std::filesystem::is_directory(file))
        throw Failure{kExitUnreadableInput, "cannot read " + file};
}

std::string temporaryDirectory()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
}

void copyToStdout(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    // Inserting an empty stream buffer would set failbit on std::cout.
    if (in.peek() != std::ifstream::traits_type::eof())
        std::cout << in.rdbuf();
    std::cout.flush();
    if (!std::cout)
        throw Failure{kExitUnwritableOutput, "cannot write to standard output"};
}

// The library's reports span several lines; the tool reports in one.
std::string oneLine(const std::string& text)
{
    std::string line;
    for (char c : text)
    {
        const char folded = c == '\n' || c == '\r' ? ' ' : c;
        if (folded != ' ' || (!line.empty() && line.back() != ' '))
            line += folded;
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

[[noreturn]] void failWith(PRSMXslTransformer& transformer, const std::string& what)
{
    throw Failure{kExitTransformationFailed, what + ": " + oneLine(transformer.getLastError())};
}

// Runs one stylesheet over the source into `resultFile`.
void transformInto(PRSMXslTransformer& transformer, const Options& options,
                   const std::string& resultFile)
{
    const std::string& stylesheet = options.stylesheets.front();
    int status = 0;
    if (options.source == "-")
    {
        std::ofstream out(resultFile, std::ios::binary | std::ios::trunc);
        status = transformer.doTransform(std::cin, stylesheet.c_str(), out);
        out.close();
        // The stream transformation ends its output with a NUL, which a file does not want.
        const auto size = std::filesystem::file_size(resultFile);
        if (size > 0)
            std::filesystem::resize_file(resultFile, size - 1);
    }
    else
    {
        status =
            transformer.doTransform(options.source.c_str(), stylesheet.c_str(), resultFile.c_str());
    }
    if (status != 0)
        failWith(transformer, "transformation failed");
}

// Parses the source once into a handle, runs every stylesheet in memory, the last one into
// `resultFile` (so its xsl:output settings apply) unless a query follows, then runs the query.
void chainInto(PRSMXslTransformer& transformer, const Options& options,
               const std::string& resultFile)
{
    Handles handles(transformer);
    Dom2Dom* current = &handles.create();
    bool parsed = false;
    if (options.source == "-")
    {
        parsed = current->InitializeInputSource(std::cin, nullptr);
    }
    else
    {
        std::ifstream in(options.source, std::ios::binary);
        parsed = current->InitializeInputSource(in, options.source.c_str());
    }
    if (!parsed)
        failWith(transformer, "cannot parse " + options.source);

    std::ofstream out;
    for (std::size_t i = 0; i < options.stylesheets.size(); ++i)
    {
        Dom2Dom& next = handles.create();
        const bool isLast = i + 1 == options.stylesheets.size();
        if (isLast && !options.xpath)
        {
            out.open(resultFile, std::ios::binary | std::ios::trunc);
            next.InitializeOutputTarget(out);
        }
        else
        {
            next.InitializeOutputTarget();
        }
        if (transformer.doTransform(*current, options.stylesheets[i].c_str(), next) != 0)
            failWith(transformer, "transformation by " + options.stylesheets[i] + " failed");
        current = &next;
    }

    if (options.xpath)
    {
        out.open(resultFile, std::ios::binary | std::ios::trunc);
        if (transformer.doXPath(*current, options.xpath->c_str(), out) != 0)
            failWith(transformer, "query " + *options.xpath + " failed");
        // A shell user reads the answer as a line; an empty answer stays empty.
        if (out.tellp() > 0)
            out << '\n';
    }
    out.close();
    if (!out)
        throw Failure{kExitUnwritableOutput, "cannot write the result"};
}

int run(const Options& options)
{
    if (options.showHelp)
    {
        std::cout << usageText();
        return kExitOk;
    }
    if (options.showVersion)
    {
        std::cout << "prsm-xslt 1.0.0 (Xalan-C " << XALAN_FULLVERSIONDOT << ", Xerces-C "
                  << XERCES_VERSION_MAJOR << '.' << XERCES_VERSION_MINOR << '.'
                  << XERCES_VERSION_REVISION << ")\n";
        return kExitOk;
    }
    for (const std::string& stylesheet : options.stylesheets)
        requireReadable(stylesheet);
    if (options.source != "-")
        requireReadable(options.source);

    LibrarySession library;
    PRSMXslTransformer transformer;
    transformer.setLimits(options.limits);
    for (const auto& [name, value] : options.stringParams)
        transformer.setStylesheetParam(name.c_str(), value.c_str());

    // The result is written beside its destination first, so a failure never leaves a
    // half-written file behind and an existing file is replaced in one step.
    TempFile result(options.outputFile ? directoryOf(*options.outputFile) : temporaryDirectory());
    if (options.stylesheets.size() == 1 && !options.xpath)
        transformInto(transformer, options, result.path());
    else
        chainInto(transformer, options, result.path());
    if (options.outputFile)
        result.moveTo(*options.outputFile);
    else
        copyToStdout(result.path());
    return kExitOk;
}

} // namespace

int main(int argc, char** argv)
{
    try
    {
        return run(parseCommandLine(std::vector<std::string>(argv + 1, argv + argc)));
    }
    catch (const UsageError& error)
    {
        std::cerr << "prsm-xslt: " << error.what() << '\n'
                  << usageSynopsis() << "Run 'prsm-xslt --help' for the options.\n";
        return kExitUsage;
    }
    catch (const Failure& failure)
    {
        std::cerr << "prsm-xslt: " << failure.message << '\n';
        return failure.status;
    }
    catch (const std::exception& error)
    {
        std::cerr << "prsm-xslt: " << error.what() << '\n';
        return kExitTransformationFailed;
    }
    catch (...)
    {
        std::cerr << "prsm-xslt: unexpected failure\n";
        return kExitTransformationFailed;
    }
}
