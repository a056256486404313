// A file written beside its target and moved over it only once it is complete.
#include "TempFile.hpp"

#include "Failure.hpp"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace prsm::cli
{
namespace
{

std::string uniqueName()
{
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name = ".prsm-xslt-";
    for (int i = 0; i < 8; ++i)
        name += kLetters[pick(generator)];
    return name;
}

} // namespace

TempFile::TempFile(const std::string& target, std::optional<mode_t> mode) : m_target(target)
{
    const std::string directory = directoryOf(target);
    const InterruptBlock block;
    for (int attempt = 0; m_fd < 0; ++attempt)
    {
        m_path = directory + '/' + uniqueName();
        // 0666 lets the kernel apply the umask, as it does for any new file.
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && (errno != EEXIST || attempt == 100))
            throw Failure{kExitUnwritableOutput, withErrno("cannot write " + target, errno)};
    }
    try
    {
        m_registration.emplace(m_path.c_str());
        if (mode && ::fchmod(m_fd, *mode) != 0)
            throw Failure{kExitUnwritableOutput, withErrno("cannot write " + target, errno)};
    }
    catch (...)
    {
        ::close(m_fd);
        ::unlink(m_path.c_str());
        throw;
    }
}

TempFile::~TempFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_isMoved)
        ::unlink(m_path.c_str());
}

void TempFile::moveIntoPlace()
{
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || std::rename(m_path.c_str(), m_target.c_str()) != 0)
        throw Failure{kExitUnwritableOutput, withErrno("cannot write " + m_target, errno)};
    m_isMoved = true;
}

std::string directoryOf(const std::string& file)
{
    const auto slash = file.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

} // namespace prsm::cli
