// A source document, opened once and read as a stream: a file, a FIFO, or standard input.
#include "SourceInput.hpp"

#include "Failure.hpp"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace prsm::cli
{
namespace
{

int openSource(const std::string& name)
{
    if (name == "-")
        return STDIN_FILENO;
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Failure{kExitUnreadableInput, withErrno("cannot read " + name, errno)};
    return fd;
}

} // namespace

SourceInput::SourceInput(const std::string& name)
    : m_name(name), m_isStandardInput(name == "-"), m_fd(openSource(name)), m_channel(m_fd),
      m_stream(&m_channel)
{
}

SourceInput::~SourceInput()
{
    if (!m_isStandardInput)
        ::close(m_fd);
}

void SourceInput::checkRead() const
{
    if (m_channel.error() != 0)
    {
        const std::string what = m_isStandardInput ? "standard input" : m_name;
        throw Failure{kExitUnreadableInput, withErrno("cannot read " + what, m_channel.error())};
    }
}

} // namespace prsm::cli
