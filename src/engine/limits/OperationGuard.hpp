// The budget of one operation: its limits, its clock and memory bounds, and why it must stop.
#pragma once

#include "PRSMXslLimits.hpp"
#include "functions/TimerTable.hpp"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

namespace prsm::detail
{

class ResourceResolver;

// Made by each operation of a transformer or a handle and handed to everything that parses,
// transforms or evaluates for it. The hooks in the parser front and the execution contexts call
// step() often: without a time or memory bound a step costs a comparison; with one it reads the
// clock, and the resident size every few milliseconds, so even a few steps that each allocate a
// lot are seen. Timer functions called while it lives obey its timer bound. The memory bound is
// measured from the resident size before the first of a run of stopped operations: what a stopped
// operation leaves resident does not widen the bound of the next one. Guards nest on a thread:
// the newest one that lives is the thread's current operation.
class OperationGuard
{
public:
    explicit OperationGuard(const PRSMXslLimits& limits);
    ~OperationGuard();
    OperationGuard(const OperationGuard&) = delete;
    OperationGuard& operator=(const OperationGuard&) = delete;

    const PRSMXslLimits& limits() const { return m_limits; }

    // The catalogs and sink of the transformer the operation runs for; null resolves resources
    // by the access policy alone. It must outlive the operation.
    void setResolver(ResourceResolver* resolver) { m_resolver = resolver; }
    ResourceResolver* resolver() const { return m_resolver; }

    // Counts one step of work. Returns why the operation must stop (a bound passed, or a failure
    // recorded earlier), or null while it may go on.
    const std::string* step();

    // Records why the operation must stop, unless a reason is recorded already. Bounds that stop
    // a parse record here too, so that a parse whose exception the engine swallows (document()
    // turns every failure into an empty node-set) still ends the operation.
    void fail(std::string reason);

    // The recorded reason, or null.
    const std::string* failure() const { return m_failure.empty() ? nullptr : &m_failure; }

    // The time left before the time bound, none when time is not bounded.
    std::optional<std::chrono::steady_clock::duration> remaining() const;

    // The operation running on this thread, for what the engine calls without telling it (the
    // parser's network reads); null when none runs.
    static OperationGuard* current();

private:
    void checkBounds();

    const PRSMXslLimits m_limits;
    const bool m_isBounded; // by time or memory
    const std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastMemoryCheck;
    std::size_t m_baseResident = 0; // bytes, read only when memory is bounded
    std::string m_failure;
    TimerCapacityScope m_timers;
    ResourceResolver* m_resolver = nullptr;
    OperationGuard* const m_outer;
};

// The time the operation running on this thread has left; none where there is no operation or
// its time is not bounded.
inline std::optional<std::chrono::steady_clock::duration> operationTimeLeft()
{
    const OperationGuard* guard = OperationGuard::current();
    return guard != nullptr ? guard->remaining() : std::nullopt;
}

// Waits on `condition` until `done` holds, at most for the time the operation running on this
// thread has left (as long as it takes where its time is not bounded). Returns whether `done`
// holds: false when the operation's time ran out first.
template <class Predicate>
bool waitWithinOperation(std::condition_variable& condition, std::unique_lock<std::mutex>& lock,
                         Predicate done)
{
    const std::optional<std::chrono::steady_clock::duration> left = operationTimeLeft();
    if (!left)
    {
        condition.wait(lock, done);
        return true;
    }
    return condition.wait_for(lock, *left, done);
}

} // namespace prsm::detail
