// One transformer set up for the run, used by one thread at a time.
#include "Worker.hpp"

#include "CommandLine.hpp"
#include "LibraryEntries.hpp"

namespace prsm::cli
{

Worker::Worker(const Options& options, const Console& console)
    : m_messages(console, options.isQuiet)
{
    m_transformer.setLimits(options.limits);
    setParameters(m_transformer, options.parameters);
    attachMessageSink(m_transformer, m_messages);
}

} // namespace prsm::cli
