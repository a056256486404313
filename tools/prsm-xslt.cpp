// prsm-xslt: XSLT transformations and XPath queries from the shell.
#include "CommandLine.hpp"
#include "Console.hpp"
#include "Failure.hpp"
#include "InterruptCleanup.hpp"
#include "MappedLibraries.hpp"
#include "PRSMVersion.hpp"
#include "PRSMXslTransformer.hpp"
#include "ResourceName.hpp"
#include "ResultOutput.hpp"
#include "SourceRun.hpp"
#include "StandardDescriptors.hpp"
#include "StylesheetPrefetch.hpp"
#include "WorkerPool.hpp"

#include <xalanc/Include/XalanVersion.hpp>
#include <xercesc/util/XercesVersion.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using namespace prsm::cli;

std::string versionText()
{
    return "prsm-xslt " PRSM_XSLT_VERSION_STRING " (Xalan-C " XALAN_FULLVERSIONDOT ", Xerces-C " +
           std::to_string(XERCES_VERSION_MAJOR) + '.' + std::to_string(XERCES_VERSION_MINOR) + '.' +
           std::to_string(XERCES_VERSION_REVISION) + ")\n";
}

// Stylesheets are read by name, once per transformation, so they are checked without opening
// them, and a missing one stops the run before any source is read. The library reads the ones
// named by URI.
void checkStylesheets(const Options& options)
{
    for (const std::string& stylesheet : options.stylesheets)
    {
        if (isUriName(stylesheet))
            continue;
        struct stat status = {};
        int error = 0;
        if (::stat(stylesheet.c_str(), &status) != 0)
            error = errno;
        else if (S_ISDIR(status.st_mode))
            error = EISDIR;
        else if (::access(stylesheet.c_str(), R_OK) != 0)
            error = errno;
        if (error != 0)
            throw Failure{kExitUnreadableInput, withErrno("cannot read " + stylesheet, error)};
    }
}

void checkOutputFolder(const std::string& folder)
{
    struct stat status = {};
    int error = 0;
    if (::stat(folder.c_str(), &status) != 0)
        error = errno;
    else if (!S_ISDIR(status.st_mode))
        error = ENOTDIR;
    if (error != 0)
        throw Failure{kExitUnwritableOutput, withErrno("cannot write into " + folder, error)};
}

// Ends the process once every result is written, without stopping the library: its orderly
// stop frees every compiled stylesheet, tree and pool one by one, 10 to 20 ms for DocBook's,
// for memory the process gives back at once. The sanitizers' builds stop it all the same, so
// that their leak check at exit sees the library's own teardown.
void endWithoutTeardown(int status)
{
#if !defined(PRSM_SANITIZED_BUILD)
    std::cout.flush();
    std::cerr.flush();
    std::_Exit(status);
#else
    (void)status;
#endif
}

int runOne(Worker& worker, const Options& options, const Console& console)
{
    const Outcome outcome =
        runSource(worker, options, console, options.sources.front(), DefaultOutput::StandardOutput);
    for (const std::string& line : outcome.reports)
        console.line(line);
    if (outcome.status != kExitOk)
        console.line(outcome.message);
    return outcome.status;
}

// Writes the results in the order of the sources; a result that cannot be written to standard
// output stops the run, since no later one could be written either.
int runMany(const std::vector<std::unique_ptr<Worker>>& workers, const Options& options,
            const Console& console)
{
    int worst = kExitOk;
    auto run = [&](Worker& worker, const std::string& source)
    { return runSource(worker, options, console, source, DefaultOutput::Memory); };
    auto emit = [&](Outcome& outcome)
    {
        for (const std::string& line : outcome.reports)
            console.line(line);
        worst = std::max(worst, outcome.status);
        if (outcome.status != kExitOk)
            console.line(outcome.message);
        if (outcome.text.empty())
            return true;
        try
        {
            writeStandardOutput(outcome.text);
            return true;
        }
        catch (const Failure& failure)
        {
            console.line(failure.message);
            worst = std::max(worst, failure.status);
            return false;
        }
    };
    runInOrder(workers, options.sources, run, emit);
    return worst;
}

int run(const Options& options)
{
    if (options.showHelp || options.showVersion)
    {
        writeStandardOutput(options.showHelp ? usageText() : versionText());
        return kExitOk;
    }
    const Console console(options.isVerbose);
    checkStylesheets(options);
    if (options.isOutputFolder())
        checkOutputFolder(*options.output);

    const std::size_t workerCount = std::min<std::size_t>(options.jobs, options.sources.size());
    installInterruptCleanup(workerCount);
    const ScopedXslLibrary library;
    releaseUnchangedLibraryPages();
    StylesheetPrefetch prefetch(options, workerCount, console);
    std::vector<std::unique_ptr<Worker>> workers;
    for (std::size_t i = 0; i < workerCount; ++i)
        workers.push_back(std::make_unique<Worker>(options, console));
    console.note(std::to_string(options.sources.size()) + " sources on " +
                 std::to_string(workerCount) + " workers");

    const int status = options.sources.size() == 1 ? runOne(*workers.front(), options, console)
                                                   : runMany(workers, options, console);
    prefetch.finish();
    endWithoutTeardown(status);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    occupyClosedStandardDescriptors();
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
    catch (const std::bad_alloc&)
    {
        std::cerr << "prsm-xslt: out of memory\n";
        return kExitOutOfMemory;
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
