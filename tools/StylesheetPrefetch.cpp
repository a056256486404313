// The stylesheets compiled on a thread of their own while the first sources are read.
#include "StylesheetPrefetch.hpp"

#include "CommandLine.hpp"
#include "Console.hpp"
#include "LibraryEntries.hpp"
#include "PRSMXslTransformer.hpp"
#include "ResourceName.hpp"
#include "ThreadHeap.hpp"

#include <string>
#include <vector>

namespace prsm::cli
{

namespace
{

// About what compiling DocBook's HTML stylesheets takes from the heap.
constexpr std::size_t kCompileHeap = std::size_t{16} << 20;

} // namespace

StylesheetPrefetch::StylesheetPrefetch(const Options& options, std::size_t workers,
                                       const Console& console)
{
    if (options.showTiming || options.repeat > 1 || options.sources.size() > workers)
        return;
    std::vector<std::string> files;
    for (const std::string& stylesheet : options.stylesheets)
        if (stylesheet != "-" && !isUriName(stylesheet))
            files.push_back(stylesheet);
    if (files.empty())
        return;
    m_thread = std::thread(
        [files, &options, &console]
        {
            try
            {
                reserveThreadHeap(kCompileHeap);
                PRSMXslTransformer transformer;
                applyCompileSettings(transformer, options);
                std::vector<EngineMessage> messages;
                forwardMessages(transformer, [&messages](const EngineMessage& message)
                                { messages.push_back(message); });
                MessageSink sink(console, options.isQuiet);
                for (const std::string& file : files)
                {
                    messages.clear();
                    if (transformer.prepareStylesheet(file.c_str()) != 0)
                        return;
                    for (const EngineMessage& message : messages)
                        sink.receive(message);
                }
            }
            catch (...)
            {
                // The workers compile what is not prepared, and report what fails.
            }
        });
}

void StylesheetPrefetch::finish()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace prsm::cli
