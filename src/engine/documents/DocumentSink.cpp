// Where the bytes of one secondary result document go: a file made whole, or the host's stream.
#include "engine/documents/DocumentSink.hpp"

#include "engine/documents/DocumentException.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace prsm::detail
{
namespace
{

std::string uniqueSuffix()
{
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::string suffix = ".";
    // The slight bias of the remainder does not matter to a name that O_EXCL checks anyway.
    for (int i = 0; i < 8; ++i)
        suffix += kLetters[generator() % (sizeof kLetters - 1)];
    return suffix + ".tmp";
}

} // namespace

DocumentSink::DocumentSink(const std::string& target) : m_target(target), m_stream(this)
{
    const auto slash = target.find_last_of('/');
    const std::string folder = target.substr(0, slash + 1);
    const std::string name = target.substr(slash + 1);
    for (int attempt = 0; m_fd < 0; ++attempt)
    {
        m_path = folder + '.' + name + uniqueSuffix();
        // 0666 lets the kernel apply the umask, as it does for any new file.
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (m_fd < 0 && (errno != EEXIST || attempt == 100))
            fail("cannot create", errno);
    }
    setp(m_buffer, m_buffer + sizeof m_buffer);
    // The engine's writers test the stream; the exception tells why it failed.
    m_stream.exceptions(std::ios::badbit);
}

DocumentSink::DocumentSink(std::ostream& host, const std::string& name)
    : m_target(name), m_host(&host), m_stream(this)
{
    setp(m_buffer, m_buffer + sizeof m_buffer);
    m_stream.exceptions(std::ios::badbit);
}

DocumentSink::~DocumentSink()
{
    abandon();
}

void DocumentSink::commit()
{
    sync();
    if (m_host != nullptr)
    {
        m_host->flush();
        if (!*m_host)
            fail("the host's stream failed for", 0);
        m_isAbandoned = true;
        return;
    }
    const int fd = m_fd;
    m_fd = -1;
    m_isAbandoned = true;
    if (::close(fd) != 0 || std::rename(m_path.c_str(), m_target.c_str()) != 0)
    {
        const int error = errno;
        ::unlink(m_path.c_str());
        fail("cannot write", error);
    }
}

void DocumentSink::abandon() noexcept
{
    m_isAbandoned = true;
    if (m_fd >= 0)
    {
        ::close(m_fd);
        ::unlink(m_path.c_str());
        m_fd = -1;
    }
}

int DocumentSink::overflow(int c)
{
    sync();
    if (c != traits_type::eof())
    {
        *pptr() = static_cast<char>(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize DocumentSink::xsputn(const char* data, std::streamsize size)
{
    if (size > epptr() - pptr())
    {
        sync();
        writeOut(data, static_cast<std::size_t>(size));
        return size;
    }
    std::memcpy(pptr(), data, static_cast<std::size_t>(size));
    pbump(static_cast<int>(size));
    return size;
}

int DocumentSink::sync()
{
    const char* const data = pbase();
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(m_buffer, m_buffer + sizeof m_buffer);
    writeOut(data, size);
    return 0;
}

void DocumentSink::writeOut(const char* data, std::size_t size)
{
    if (m_isAbandoned)
        return;
    if (m_host != nullptr)
    {
        m_host->write(data, static_cast<std::streamsize>(size));
        if (!*m_host)
            fail("the host's stream failed for", 0);
        return;
    }
    while (size > 0)
    {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0)
        {
            if (errno == EINTR)
                continue;
            fail("cannot write", errno);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

void DocumentSink::fail(const std::string& what, int error)
{
    // Nothing more reaches a document that failed once.
    abandon();
    std::string text = "exsl:document: " + what + ' ' + m_target;
    if (error != 0)
        text += std::string(": ") + std::strerror(error);
    throw DocumentException(text, nullptr);
}

} // namespace prsm::detail
