// Standard error, where prsm-xslt reports failures, progress, messages and timings.
#pragma once

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

} // namespace prsm::cli
