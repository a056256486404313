// prsm-xslt: XSLT transformations and XPath queries from the shell.
#include "CommandLine.hpp"
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
    std::cout << in.rdbuf();
    std::cout.flush();
    if (!std::cout)
        throw Failure{kExitUnwritableOutput, "cannot write to standard output"};
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
        throw Failure{kExitTransformationFailed,
                      "transformation failed: " + std::string(transformer.getLastError())};
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
    if (options.stylesheets.size() != 1 || options.xpath)
        throw Failure{kExitUsage, "--then and --xpath are not available in this build"};

    LibrarySession library;
    PRSMXslTransformer transformer;
    for (const auto& [name, value] : options.stringParams)
        transformer.setStylesheetParam(name.c_str(), value.c_str());

    // The result is written beside its destination first, so a failure never leaves a
    // half-written file behind and an existing file is replaced in one step.
    TempFile result(options.outputFile ? directoryOf(*options.outputFile) : temporaryDirectory());
    transformInto(transformer, options, result.path());
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
        std::cerr << "prsm-xslt: " << error.what() << "\n\n" << usageText();
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
