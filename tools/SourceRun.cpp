// The run of one source: read it, transform it, query it, write the result.
#include "SourceRun.hpp"

#include "CommandLine.hpp"
#include "Console.hpp"
#include "Dom2Dom.hpp"
#include "Failure.hpp"
#include "LibraryEntries.hpp"
#include "PRSMXslWritePolicy.hpp"
#include "ResourceName.hpp"
#include "ResultOutput.hpp"
#include "SourceInput.hpp"
#include "Timing.hpp"
#include "WorkerPool.hpp"

#include <cstdio>
#include <deque>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>
#include <vector>

namespace prsm::cli
{
namespace
{

// The handles of one run; each goes back to the transformer, which outlives them, at the end.
class Handles
{
public:
    explicit Handles(PRSMXslTransformer& transformer) : m_transformer(transformer) {}

    Dom2Dom& create() { return *m_handles.emplace_back(m_transformer); }

private:
    PRSMXslTransformer& m_transformer;
    std::deque<ScopedDom2Dom> m_handles; // a deque: handles neither copy nor move
};

// "style.xsl reused", or "style.xsl compiled in 1.234 ms".
std::string stylesheetUse(const std::string& stylesheet, const PRSMXslTransformer& transformer)
{
    const PRSMXslStylesheetUse use = transformer.lastStylesheetUse();
    if (use.isReused)
        return stylesheet + " reused";
    char text[64];
    std::snprintf(text, sizeof text, " compiled in %.3f ms", use.compileSeconds * 1000.0);
    return stylesheet + text;
}

class SourceRun
{
public:
    SourceRun(Worker& worker, const Options& options, const Console& console,
              const std::string& source)
        : m_worker(worker), m_options(options), m_console(console), m_source(source),
          m_name(source == "-" ? "standard input" : source)
    {
    }

    Outcome run(DefaultOutput defaultOutput)
    {
        // The library reads a source named by URI itself; a file is opened here, before the
        // output, so that an unreadable one leaves no output behind.
        std::optional<SourceInput> input;
        if (!isUriName(m_source))
            input.emplace(m_source);
        const std::unique_ptr<ResultOutput> output = openOutput(defaultOutput);

        m_console.note(m_name + ": reading");
        PhaseTimes times;
        Stopwatch clock;
        Handles handles(m_worker.transformer());
        Dom2Dom& document = handles.create();
        bool isParsed = false;
        if (input)
        {
            isParsed = document.InitializeInputSource(input->stream(), input->systemId());
            input->checkRead();
        }
        else
            isParsed = document.InitializeInputResource(m_source.c_str());
        if (!isParsed)
            fail("cannot parse: ");
        times.parse = clock.lap();

        // Every run but the last writes nowhere, so the result is written once.
        const std::unique_ptr<ResultOutput> discarded = openDiscardedOutput();
        for (unsigned run = 1; run <= m_options.repeat; ++run)
            transform(document, run == m_options.repeat ? *output : *discarded,
                      run == 1 ? &times.stylesheetLines : nullptr);
        times.transform = clock.lap();
        times.runs = m_options.repeat;

        output->commit();
        times.output = clock.lap();

        Outcome outcome;
        outcome.text = output->takeText();
        if (m_options.showTiming)
            outcome.reports = formatTiming(m_name, times);
        m_console.note(m_name + ": done");
        return outcome;
    }

private:
    // Ends the source with `what`, followed by the transformer's last failure unless `own`.
    [[noreturn]] void fail(const std::string& what, bool own = false) const
    {
        const PRSMXslFailure failure = m_worker.transformer().lastFailure();
        if (own)
            throw Failure{kExitTransformationFailed, m_name + ": " + what};
        throw Failure{exitStatusOf(failure), m_name + ": " + what + describeFailure(failure)};
    }

    std::unique_ptr<ResultOutput> openOutput(DefaultOutput defaultOutput) const
    {
        if (m_options.isOutputDropped)
            return openDiscardedOutput();
        if (m_options.output)
        {
            const std::string name = m_options.isOutputFolder()
                                         ? resultPathInFolder(*m_options.output, m_source)
                                         : *m_options.output;
            m_console.note(m_name + ": writing to " + name);
            return openFileOutput(name);
        }
        return defaultOutput == DefaultOutput::Memory ? openMemoryOutput() : openStandardOutput();
    }

    // Runs the stylesheets one after the other, the last one into `output` unless a query
    // follows, then the query. Adds to `stylesheetLines`, when given, how each stylesheet came.
    void transform(Dom2Dom& document, ResultOutput& output,
                   std::vector<std::string>* stylesheetLines)
    {
        PRSMXslTransformer& transformer = m_worker.transformer();
        transformer.setWritePolicy(writePolicy());
        Handles handles(transformer);
        Dom2Dom* current = &document;
        for (std::size_t i = 0; i < m_options.stylesheets.size(); ++i)
        {
            const std::string& stylesheet = m_options.stylesheets[i];
            Dom2Dom& next = handles.create();
            if (i + 1 == m_options.stylesheets.size() && !m_options.xpath)
                next.InitializeOutputTarget(output.stream());
            else
                next.InitializeOutputTarget();
            m_console.note(m_name + ": transforming by " + stylesheet);
            const int status = transformer.doTransform(*current, stylesheet.c_str(), next);
            // A result that could not be written is why the transformation stopped.
            output.checkWritten();
            if (status != 0)
                failTransformation(stylesheet);
            if (stylesheetLines != nullptr)
                stylesheetLines->push_back(stylesheetUse(stylesheet, transformer));
            current = &next;
        }
        if (m_options.xpath)
            query(*current, output.stream());
    }

    // Documents go where the stylesheet says, as with xsltproc, unless the options say otherwise;
    // relative ones beside the result file, or in the current folder.
    PRSMXslWritePolicy writePolicy() const
    {
        PRSMXslWritePolicy policy;
        if (!m_options.isWriteRefused)
            policy.writableFolders = m_options.writeFolders.empty() ? std::vector<std::string>{"/"}
                                                                    : m_options.writeFolders;
        policy.mayCreateFolders = !m_options.isMkdirRefused;
        if (m_options.output && !m_options.isOutputDropped)
        {
            const std::string name = m_options.isOutputFolder()
                                         ? resultPathInFolder(*m_options.output, m_source)
                                         : *m_options.output;
            const auto slash = name.find_last_of('/');
            policy.baseFolder = slash == std::string::npos ? "" : name.substr(0, slash + 1);
        }
        const Console& console = m_console;
        const std::string& source = m_name;
        policy.observer = [&console, &source](const PRSMXslResultDocument& document)
        { console.note(source + ": wrote " + document.path); };
        return policy;
    }

    [[noreturn]] void failTransformation(const std::string& stylesheet)
    {
        const PRSMXslFailure failure = m_worker.transformer().lastFailure();
        // xsl:message terminate="yes" ends the transformation with the message's own text.
        const bool isTerminated = failure.kind == PRSMXslFailureKind::Runtime &&
                                  m_worker.messages().isLast(failure.message);
        const std::optional<std::string> last = m_worker.messages().takeLast();
        if (isTerminated && last)
            fail("terminated by xsl:message: " + *last, true);
        fail("transformation by " + stylesheet + " failed: ");
    }

    void query(Dom2Dom& document, std::ostream& out)
    {
        const std::string& expression = *m_options.xpath;
        m_console.note(m_name + ": querying " + expression);
        std::ostringstream answer;
        if (queryAll(m_worker.transformer(), document, expression, answer) != 0)
        {
            if (m_worker.transformer().lastFailure().kind == PRSMXslFailureKind::Stylesheet)
                fail("invalid expression '" + expression + "': ");
            fail("query '" + expression + "' failed: ");
        }
        // A shell user reads the answer as lines; an empty answer stays empty.
        std::string text = answer.str();
        if (!text.empty() && text.back() != '\n')
            text += '\n';
        out << text;
    }

    Worker& m_worker;
    const Options& m_options;
    const Console& m_console;
    const std::string& m_source;
    // The source as the failure and progress lines name it.
    std::string m_name;
};

} // namespace

Outcome runSource(Worker& worker, const Options& options, const Console& console,
                  const std::string& source, DefaultOutput defaultOutput)
{
    auto failed = [](int status, std::string message)
    {
        Outcome outcome;
        outcome.status = status;
        outcome.message = std::move(message);
        return outcome;
    };
    try
    {
        return SourceRun(worker, options, console, source).run(defaultOutput);
    }
    catch (const Failure& failure)
    {
        return failed(failure.status, failure.message);
    }
    catch (const std::bad_alloc&)
    {
        return failed(kExitOutOfMemory, source + ": out of memory");
    }
    catch (const std::exception& error)
    {
        return failed(kExitTransformationFailed, source + ": " + error.what());
    }
    catch (...)
    {
        // The engine's own exception classes carry no text we can read from here.
        return failed(kExitTransformationFailed, source + ": the engine failed unexpectedly");
    }
}

} // namespace prsm::cli
