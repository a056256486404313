// A source document, opened once and read as a stream: a file, a FIFO, or standard input.
#pragma once

#include "DescriptorStreams.hpp"

#include <istream>
#include <string>

namespace prsm::cli
{

class SourceInput
{
public:
    // Opens `name`, or standard input for "-". Throws Failure (unreadable input).
    explicit SourceInput(const std::string& name);
    SourceInput(const SourceInput&) = delete;
    SourceInput& operator=(const SourceInput&) = delete;
    ~SourceInput();

    std::istream& stream() { return m_stream; }

    // The name relative references in the document resolve against; null for standard input.
    const char* systemId() const { return m_isStandardInput ? nullptr : m_name.c_str(); }

    // Throws Failure (unreadable input) if a read has failed, as a folder or a closed standard
    // input fails: a document cut short that way is unreadable, not malformed.
    void checkRead() const;

private:
    std::string m_name;
    bool m_isStandardInput;
    int m_fd;
    InputChannel m_channel;
    std::istream m_stream;
};

} // namespace prsm::cli
