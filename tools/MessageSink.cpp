// xsl:message output and engine warnings, shown on standard error.
#include "MessageSink.hpp"

#include "Console.hpp"

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
