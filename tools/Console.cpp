// Standard error, where prsm-xslt reports failures, progress, messages and timings.
#include "Console.hpp"

#include <cerrno>
#include <mutex>
#include <unistd.h>

namespace prsm::cli
{
namespace
{

// Folds a message that spans lines, so that each message stays one line on the console.
std::string oneLine(const std::string& text)
{
    std::string line = text;
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    return line;
}

// Engine places are URIs; a local file reads better as its path.
std::string displayName(const std::string& stylesheet)
{
    constexpr const char kFileScheme[] = "file://";
    if (stylesheet.compare(0, sizeof kFileScheme - 1, kFileScheme) == 0)
        return stylesheet.substr(sizeof kFileScheme - 1);
    return stylesheet;
}

} // namespace

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

std::string formatMessage(const EngineMessage& message)
{
    std::string place = displayName(message.stylesheet);
    if (!place.empty() && message.line > 0)
        place += ':' + std::to_string(message.line);
    return place.empty() ? oneLine(message.text) : place + ": " + oneLine(message.text);
}

void MessageSink::receive(const EngineMessage& message)
{
    m_last = formatMessage(message);
    m_lastText = message.text;
    if (!m_isQuiet)
        m_console.line(*m_last);
}

std::optional<std::string> MessageSink::takeLast()
{
    std::optional<std::string> last;
    last.swap(m_last);
    return last;
}

} // namespace prsm::cli
