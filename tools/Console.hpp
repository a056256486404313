// Standard error, where prsm-xslt reports failures, progress, messages and timings, and the
// sink that brings it xsl:message output and engine warnings.
#pragma once

#include <optional>
#include <string>

namespace prsm::cli
{

// Writes whole lines to standard error, each prefixed with the program's name. Lines written by
// several workers at once never interleave.
class Console
{
public:
    explicit Console(bool isVerbose) : m_isVerbose(isVerbose) {}

    // Writes "prsm-xslt: <text>" and a line end.
    void line(const std::string& text) const;

    // Writes the line only with --verbose.
    void note(const std::string& text) const
    {
        if (m_isVerbose)
            line(text);
    }

    bool isVerbose() const { return m_isVerbose; }

private:
    bool m_isVerbose;
};

// One message as the transformer hands it over.
struct EngineMessage
{
    std::string text;
    // The stylesheet's name or URI, and the line in it; empty and 0 where unknown.
    std::string stylesheet;
    long line = 0;
};

// "report.xsl:12: text", with as much of the place as is known.
std::string formatMessage(const EngineMessage& message);

// Receives the messages of one worker's transformer. Prints each as one line unless quiet, and
// keeps the last: when xsl:message terminate="yes" ends a source, that message is its report,
// printed even when quiet.
class MessageSink
{
public:
    MessageSink(const Console& console, bool isQuiet) : m_console(console), m_isQuiet(isQuiet) {}

    void receive(const EngineMessage& message);

    // The last message received since the last call, formatted, if any.
    std::optional<std::string> takeLast();

    // Whether the last message received since the last takeLast is `text`, as the engine gave it.
    bool isLast(const std::string& text) const { return m_last && m_lastText == text; }

private:
    const Console& m_console;
    bool m_isQuiet;
    std::optional<std::string> m_last;
    std::string m_lastText;
};

} // namespace prsm::cli
