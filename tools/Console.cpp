// Standard error, where prsm-xslt reports failures, progress, messages and timings.
#include "Console.hpp"

#include <cerrno>
#include <mutex>
#include <unistd.h>

namespace prsm::cli
{

void Console::line(const std::string& text) const
{
    static std::mutex lock;
    const std::string whole = "prsm-xslt: " + text + '\n';
    const std::lock_guard<std::mutex> guard(lock);
    std::size_t done = 0;
    while (done < whole.size())
    {
        const ssize_t written = ::write(STDERR_FILENO, whole.data() + done, whole.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        // Standard error is the last resort: a report that cannot be written is lost.
        if (written <= 0)
            return;
        done += static_cast<std::size_t>(written);
    }
}

} // namespace prsm::cli
