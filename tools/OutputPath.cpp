// What writing a result to a named file means for that name.
#include "OutputPath.hpp"

#include "Failure.hpp"
#include "TempFile.hpp"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace prsm::cli
{
namespace
{

// Linux follows at most 40 links in one name; we follow as many.
constexpr int kMaxLinks = 40;

bool isDigits(const std::string& text)
{
    return !text.empty() && text.size() < 10 &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

// The descriptor that `path` names, as /dev/stdout names 1. Opening such a name anew would start
// a second, independent write into whatever the descriptor points at.
std::optional<int> descriptorNamedBy(const std::string& path)
{
    if (path == "/dev/stdin")
        return 0;
    if (path == "/dev/stdout")
        return 1;
    if (path == "/dev/stderr")
        return 2;
    for (const std::string prefix : {"/dev/fd/", "/proc/self/fd/"})
        if (path.compare(0, prefix.size(), prefix) == 0 && isDigits(path.substr(prefix.size())))
            return std::stoi(path.substr(prefix.size()));
    return std::nullopt;
}

[[noreturn]] void fail(const std::string& name, int error)
{
    throw Failure{kExitUnwritableOutput, withErrno("cannot write " + name, error)};
}

std::string readLink(const std::string& name, const std::string& link)
{
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target);
    if (length < 0)
        fail(name, errno);
    if (static_cast<std::size_t>(length) == sizeof target)
        fail(name, ENAMETOOLONG);
    const std::string text(target, static_cast<std::size_t>(length));
    return text.front() == '/' ? text : directoryOf(link) + '/' + text;
}

} // namespace

OutputPath resolveOutputPath(const std::string& name)
{
    std::string path = name;
    for (int links = 0; links <= kMaxLinks; ++links)
    {
        if (const std::optional<int> fd = descriptorNamedBy(path))
            return {OutputPath::Kind::Descriptor, path, std::nullopt, *fd};
        struct stat status = {};
        if (::lstat(path.c_str(), &status) != 0)
        {
            // A missing folder shows when the file beside the target cannot be made.
            if (errno == ENOENT)
                return {OutputPath::Kind::Replace, path, std::nullopt};
            fail(name, errno);
        }
        if (S_ISLNK(status.st_mode))
        {
            path = readLink(name, path);
            continue;
        }
        if (S_ISDIR(status.st_mode))
            fail(name, EISDIR);
        if (!S_ISREG(status.st_mode))
            return {OutputPath::Kind::WriteInto, path, std::nullopt};
        // Renaming over a file needs only the folder's permission; we ask for the file's own.
        if (::access(path.c_str(), W_OK) != 0)
            fail(name, errno);
        return {OutputPath::Kind::Replace, path, status.st_mode & 07777};
    }
    fail(name, ELOOP);
}

} // namespace prsm::cli
