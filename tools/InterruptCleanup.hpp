// Removal of temporary files when SIGINT, SIGTERM or SIGHUP ends the run.
#pragma once

#include <csignal>
#include <cstddef>

namespace prsm::cli
{

// Installs handlers for SIGINT, SIGTERM and SIGHUP that remove every registered file, then end
// the process by the same signal. At most `capacity` files are registered at once. Call once,
// before any other thread starts. Throws std::runtime_error if a handler cannot be installed.
void installInterruptCleanup(std::size_t capacity);

// Holds SIGINT, SIGTERM and SIGHUP back from the calling thread while it lives, so that a file is
// never created without being registered, nor registered without existing.
class InterruptBlock
{
public:
    InterruptBlock();
    InterruptBlock(const InterruptBlock&) = delete;
    InterruptBlock& operator=(const InterruptBlock&) = delete;
    ~InterruptBlock();

private:
    sigset_t m_previous;
};

// Registers the file `path` for removal by an interrupt until the registration ends. Throws
// std::runtime_error if every place is taken or the path is too long.
class InterruptRegistration
{
public:
    explicit InterruptRegistration(const char* path);
    InterruptRegistration(const InterruptRegistration&) = delete;
    InterruptRegistration& operator=(const InterruptRegistration&) = delete;
    ~InterruptRegistration();

private:
    std::size_t m_slot;
};

} // namespace prsm::cli
