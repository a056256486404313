// One transformer set up for the run, used by one thread at a time.
#pragma once

#include "MessageSink.hpp"
#include "PRSMXslTransformer.hpp"

namespace prsm::cli
{

class Console;
struct Options;

// A transformer with the run's parameters and its own message sink. Create and destroy it between
// QXXslTransformer_Initialize and _Terminate.
class Worker
{
public:
    // Throws UsageError for a parameter the transformer cannot take, and lets the transformer's
    // own exceptions through.
    Worker(const Options& options, const Console& console);
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    PRSMXslTransformer& transformer() { return m_transformer; }
    MessageSink& messages() { return m_messages; }

private:
    // Declared first: the transformer may hand it messages until it is gone.
    MessageSink m_messages;
    PRSMXslTransformer m_transformer;
};

} // namespace prsm::cli
