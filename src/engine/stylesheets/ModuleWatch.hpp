// Tells cheaply whether any watched file may have changed: the kernel's file notifications.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace prsm::detail
{

// One inotify instance for the process. Reading its pending events costs one system call,
// where checking the modules of a stylesheet costs one stat() each, so a kept stylesheet whose
// modules were checked since the last event anywhere is reused without checking them again.
// Every member is safe to call from any thread.
class ModuleWatch
{
public:
    static ModuleWatch& instance();

    ModuleWatch(const ModuleWatch&) = delete;
    ModuleWatch& operator=(const ModuleWatch&) = delete;

    // Watches the file at `path` for changes of its content, its attributes, and its removal or
    // renaming. False when it cannot (no notifications, too many watches): such files must be
    // checked on every use.
    bool watch(const std::string& path);

    // How many batches of events have arrived so far, after taking in the pending ones. Equal
    // values at two moments mean that no watched file changed between them.
    std::uint64_t epoch();

private:
    ModuleWatch();
    ~ModuleWatch();

    std::mutex m_mutex;
    int m_descriptor = -1;
    std::uint64_t m_epoch = 0;
};

} // namespace prsm::detail
