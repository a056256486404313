// Stream buffers over file descriptors that remember why a read or a write failed.
#include "DescriptorStreams.hpp"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace prsm::cli
{
namespace
{

// Left uninitialised: a batch opens one of each per source, and most sources are far smaller.
constexpr std::size_t kBufferSize = 64 * 1024;

} // namespace

InputChannel::InputChannel(int fd) : m_fd(fd) {}

InputChannel::int_type InputChannel::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (m_error != 0)
        return traits_type::eof();
    if (!m_buffer)
        m_buffer.reset(new char[kBufferSize]);
    for (;;)
    {
        const ssize_t count = ::read(m_fd, m_buffer.get(), kBufferSize);
        if (count > 0)
        {
            setg(m_buffer.get(), m_buffer.get(), m_buffer.get() + count);
            return traits_type::to_int_type(*gptr());
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            m_error = errno;
        return traits_type::eof();
    }
}

OutputChannel::OutputChannel(int fd) : m_fd(fd) {}

bool OutputChannel::flush()
{
    const std::size_t pending = static_cast<std::size_t>(pptr() - pbase());
    if (!m_buffer)
        m_buffer.reset(new char[kBufferSize]);
    setp(m_buffer.get(), m_buffer.get() + kBufferSize);
    return writeAll(m_buffer.get(), pending);
}

OutputChannel::int_type OutputChannel::overflow(int_type c)
{
    if (!flush())
        return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof()))
    {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize OutputChannel::xsputn(const char* text, std::streamsize count)
{
    if (count <= 0)
        return 0;
    const auto size = static_cast<std::size_t>(count);
    if (size > static_cast<std::size_t>(epptr() - pptr()))
    {
        if (!flush())
            return 0;
        // Large pieces go straight through rather than through the buffer.
        if (size > kBufferSize)
            return writeAll(text, size) ? count : 0;
    }
    std::memcpy(pptr(), text, size);
    pbump(static_cast<int>(size));
    return count;
}

int OutputChannel::sync()
{
    return flush() ? 0 : -1;
}

bool OutputChannel::writeAll(const char* data, std::size_t size)
{
    while (m_error == 0 && size > 0)
    {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
        {
            // A descriptor that takes nothing and reports nothing would otherwise hold us here.
            m_error = written < 0 ? errno : EIO;
            break;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return m_error == 0;
}

} // namespace prsm::cli
