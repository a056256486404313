// The budget of one operation: its limits, its clock and memory bounds, and why it must stop.
#include "engine/limits/OperationGuard.hpp"

#include <atomic>
#include <cstdio>
#include <malloc.h>
#include <sstream>
#include <unistd.h>

namespace prsm::detail
{
namespace
{

// Reading the resident size costs a few microseconds; a step can cost less.
constexpr std::chrono::milliseconds kMemoryCheckInterval(5);

// The process's resident size in bytes, 0 when the system does not tell.
std::size_t residentBytes()
{
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return 0;
    unsigned long size = 0;
    unsigned long resident = 0;
    const int fields = std::fscanf(statm, "%lu %lu", &size, &resident);
    std::fclose(statm);
    if (fields != 2)
        return 0;
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// The resident size before the first of the stopped operations since the last one that ended
// otherwise; 0 after one that did.
std::atomic<std::size_t> s_residentBeforeStops{0};

thread_local OperationGuard* t_current = nullptr;

} // namespace

OperationGuard::OperationGuard(const PRSMXslLimits& limits)
    : m_limits(limits), m_isBounded(limits.timeoutSeconds > 0 || limits.maxMemoryMegabytes > 0),
      m_start(std::chrono::steady_clock::now()), m_lastMemoryCheck(m_start),
      m_timers(limits.maxTimers), m_outer(t_current)
{
    t_current = this;
    if (m_limits.maxMemoryMegabytes > 0)
    {
        m_baseResident = residentBytes();
        const std::size_t beforeStops = s_residentBeforeStops.load();
        if (beforeStops != 0 && beforeStops < m_baseResident)
            m_baseResident = beforeStops;
    }
}

OperationGuard::~OperationGuard()
{
    t_current = m_outer;
    if (m_failure.empty())
    {
        s_residentBeforeStops.store(0);
        return;
    }
    // A stopped operation frees what it built, but the allocator keeps most of it.
    malloc_trim(0);
    if (m_baseResident == 0)
        return;
    std::size_t beforeStops = s_residentBeforeStops.load();
    while ((beforeStops == 0 || m_baseResident < beforeStops) &&
           !s_residentBeforeStops.compare_exchange_weak(beforeStops, m_baseResident))
    {
    }
}

const std::string* OperationGuard::step()
{
    if (m_isBounded && m_failure.empty())
        checkBounds();
    return failure();
}

void OperationGuard::fail(std::string reason)
{
    if (m_failure.empty())
        m_failure = std::move(reason);
}

std::optional<std::chrono::steady_clock::duration> OperationGuard::remaining() const
{
    if (m_limits.timeoutSeconds <= 0)
        return std::nullopt;
    const auto bound = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(m_limits.timeoutSeconds));
    const auto elapsed = std::chrono::steady_clock::now() - m_start;
    return elapsed < bound ? bound - elapsed : std::chrono::steady_clock::duration::zero();
}

OperationGuard* OperationGuard::current()
{
    return t_current;
}

void OperationGuard::checkBounds()
{
    const auto now = std::chrono::steady_clock::now();
    if (m_limits.timeoutSeconds > 0)
    {
        const std::chrono::duration<double> elapsed = now - m_start;
        if (elapsed.count() > m_limits.timeoutSeconds)
        {
            std::ostringstream reason;
            reason << "the operation ran longer than its limit of " << m_limits.timeoutSeconds
                   << " seconds (PRSMXslLimits::timeoutSeconds)";
            fail(reason.str());
            return;
        }
    }
    if (m_limits.maxMemoryMegabytes > 0 && now - m_lastMemoryCheck >= kMemoryCheckInterval)
    {
        m_lastMemoryCheck = now;
        const std::size_t resident = residentBytes();
        const std::size_t bound = m_limits.maxMemoryMegabytes * 1024 * 1024;
        if (resident > m_baseResident && resident - m_baseResident > bound)
            fail("the operation grew the process by more than its limit of " +
                 std::to_string(m_limits.maxMemoryMegabytes) +
                 " megabytes (PRSMXslLimits::maxMemoryMegabytes)");
    }
}

} // namespace prsm::detail
