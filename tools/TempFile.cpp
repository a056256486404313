// A temporary file that is removed unless it is moved into place.
#include "TempFile.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

namespace prsm::cli
{

TempFile::TempFile(const std::string& directory)
{
    std::string pattern = directory + "/.prsm-xslt-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        throw std::runtime_error("cannot create a temporary file in " + directory + ": " +
                                 std::strerror(errno));
    close(fd);
    m_path = pattern;
}

TempFile::~TempFile()
{
    if (!m_moved)
        std::remove(m_path.c_str());
}

void TempFile::moveTo(const std::string& target)
{
    if (std::rename(m_path.c_str(), target.c_str()) != 0)
        throw std::runtime_error("cannot write " + target + ": " + std::strerror(errno));
    m_moved = true;
}

std::string directoryOf(const std::string& file)
{
    const auto slash = file.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

} // namespace prsm::cli
