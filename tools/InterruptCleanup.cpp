// Removal of temporary files when SIGINT, SIGTERM or SIGHUP ends the run.
#include "InterruptCleanup.hpp"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <memory>
#include <pthread.h>
#include <stdexcept>
#include <unistd.h>

namespace prsm::cli
{
namespace
{

enum SlotState : int
{
    kFree,
    kFilling,
    kArmed,
};

// The handler reads only lock-free atomics and plain characters written before the slot was
// armed, and calls only unlink, signal and raise, all async-signal-safe.
struct Slot
{
    std::atomic<int> state{kFree};
    char path[PATH_MAX] = {};
};

static_assert(std::atomic<int>::is_always_lock_free);

// Made once before any thread starts and kept to the end of the process, so a handler running
// at any moment finds it whole.
Slot* g_slots = nullptr;
std::size_t g_slotCount = 0;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeAndReraise(int signalNumber)
{
    for (std::size_t i = 0; i < g_slotCount; ++i)
        if (g_slots[i].state.load() == kArmed)
            ::unlink(g_slots[i].path);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

sigset_t interruptSignals()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signalNumber : kSignals)
        sigaddset(&set, signalNumber);
    return set;
}

} // namespace

void installInterruptCleanup(std::size_t capacity)
{
    // Never freed: a signal may arrive while the process is already ending.
    g_slots = new Slot[capacity];
    g_slotCount = capacity;

    struct sigaction action = {};
    action.sa_handler = removeAndReraise;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kSignals)
        sigaddset(&action.sa_mask, signalNumber);
    for (const int signalNumber : kSignals)
    {
        struct sigaction previous = {};
        // A signal ignored by whoever started us stays ignored, as for any well-behaved tool.
        if (sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        if (sigaction(signalNumber, &action, nullptr) != 0)
            throw std::runtime_error("cannot install a signal handler");
    }
}

InterruptBlock::InterruptBlock()
{
    const sigset_t set = interruptSignals();
    pthread_sigmask(SIG_BLOCK, &set, &m_previous);
}

InterruptBlock::~InterruptBlock()
{
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

InterruptRegistration::InterruptRegistration(const char* path)
{
    if (std::strlen(path) >= PATH_MAX)
        throw std::runtime_error(std::string("path too long: ") + path);
    for (m_slot = 0; m_slot < g_slotCount; ++m_slot)
    {
        int expected = kFree;
        if (g_slots[m_slot].state.compare_exchange_strong(expected, kFilling))
        {
            std::strcpy(g_slots[m_slot].path, path);
            g_slots[m_slot].state.store(kArmed);
            return;
        }
    }
    throw std::runtime_error("too many temporary files at once");
}

InterruptRegistration::~InterruptRegistration()
{
    g_slots[m_slot].state.store(kFree);
}

} // namespace prsm::cli
