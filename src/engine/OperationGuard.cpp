// The budget of one operation: its limits, its clock and memory bounds, and why it must stop.
#include "engine/OperationGuard.hpp"

#include <cstdio>
#include <sstream>
#include <unistd.h>

namespace prsm::detail
{
namespace
{

// The clock is read every kClockSteps steps and the resident size every kMemorySteps: a step is a
// parser event or an engine iteration, some microseconds at most, so the bounds are seen within
// milliseconds of being passed.
constexpr std::uint32_t kClockSteps = 64;
constexpr std::uint32_t kMemorySteps = 1024;

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

} // namespace

OperationGuard::OperationGuard(const PRSMXslLimits& limits)
    : m_limits(limits), m_start(std::chrono::steady_clock::now()), m_timers(limits.maxTimers)
{
    if (m_limits.maxMemoryMegabytes > 0)
        m_baseResident = residentBytes();
}

const std::string* OperationGuard::step()
{
    ++m_steps;
    if (m_steps % kClockSteps == 0 && m_failure.empty())
        checkBounds();
    return failure();
}

void OperationGuard::fail(std::string reason)
{
    if (m_failure.empty())
        m_failure = std::move(reason);
}

void OperationGuard::checkBounds()
{
    if (m_limits.timeoutSeconds > 0)
    {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_start;
        if (elapsed.count() > m_limits.timeoutSeconds)
        {
            std::ostringstream reason;
            reason << "the operation ran longer than its limit of " << m_limits.timeoutSeconds
                   << " seconds (PRSMXslLimits::timeoutSeconds)";
            fail(reason.str());
            return;
        }
    }
    if (m_limits.maxMemoryMegabytes > 0 && m_steps % kMemorySteps == 0)
    {
        const std::size_t resident = residentBytes();
        const std::size_t bound = m_limits.maxMemoryMegabytes * 1024 * 1024;
        if (resident > m_baseResident && resident - m_baseResident > bound)
            fail("the operation grew the process by more than its limit of " +
                 std::to_string(m_limits.maxMemoryMegabytes) +
                 " megabytes (PRSMXslLimits::maxMemoryMegabytes)");
    }
}

} // namespace prsm::detail
