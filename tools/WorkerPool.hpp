// Sources run on several threads, their outcomes handed on in the order of the sources.
#pragma once

#include "SourceRun.hpp"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace prsm::cli
{

class Worker;

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
