// Tells cheaply whether any watched file may have changed: the kernel's file notifications.
#include "engine/stylesheets/ModuleWatch.hpp"

#include <sys/inotify.h>
#include <unistd.h>

namespace prsm::detail
{

ModuleWatch& ModuleWatch::instance()
{
    static ModuleWatch watch;
    return watch;
}

ModuleWatch::ModuleWatch() : m_descriptor(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

ModuleWatch::~ModuleWatch()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

bool ModuleWatch::watch(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_descriptor < 0)
        return false;
    // Watching a file twice gives the same watch: nothing piles up.
    return ::inotify_add_watch(m_descriptor, path.c_str(),
                               IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_DELETE_SELF |
                                   IN_MOVE_SELF) >= 0;
}

std::uint64_t ModuleWatch::epoch()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_descriptor < 0)
        return m_epoch;
    // What changed does not matter, only that something did (an overflow included).
    alignas(inotify_event) char events[4096];
    while (::read(m_descriptor, events, sizeof events) > 0)
        ++m_epoch;
    return m_epoch;
}

} // namespace prsm::detail
