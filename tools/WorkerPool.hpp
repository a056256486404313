// The transformers of the run, and the sources run on them on several threads, their outcomes
// handed on in the order of the sources.
#pragma once

#include "Console.hpp"
#include "PRSMXslTransformer.hpp"
#include "SourceRun.hpp"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace prsm::cli
{

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

// Runs `run` over every source, the calling thread as the first worker and one more thread per
// further worker, each worker taking the next source not yet started. Hands each outcome to `emit`
// on the calling thread in the order of the sources, as soon as it and every one before it are
// done. When `emit` returns false, sources not yet started are skipped and the call returns once
// the running ones end. `run` must not throw.
void runInOrder(const std::vector<std::unique_ptr<Worker>>& workers,
                const std::vector<std::string>& sources,
                const std::function<Outcome(Worker&, const std::string&)>& run,
                const std::function<bool(Outcome&)>& emit);

} // namespace prsm::cli
