// Where a secondary result document lands on disk, and whether the write policy lets it.
#include "engine/documents/DocumentPath.hpp"

#include "engine/limits/ResourcePolicy.hpp"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace prsm::detail
{
namespace
{

[[noreturn]] void refuse(const std::string& why)
{
    throw std::runtime_error(why);
}

[[noreturn]] void refuseWithErrno(const std::string& what, int error)
{
    refuse(what + ": " + std::strerror(error));
}

std::string parentOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

bool isUnder(const std::string& path, const std::string& folder)
{
    return folder == "/" || path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

// `path` (absolute) with the symbolic links of its existing part followed; the part that does
// not exist yet is appended as it is.
std::string realPathOf(const std::string& path)
{
    std::string existing = path;
    std::string missing;
    for (;;)
    {
        char resolved[PATH_MAX];
        if (::realpath(existing.c_str(), resolved) != nullptr)
        {
            const std::string real = resolved;
            return missing.empty() ? real : normalPath(real + missing);
        }
        if (errno != ENOENT || existing == "/")
            refuseWithErrno("cannot follow " + existing, errno);
        missing = existing.substr(existing.find_last_of('/')) + missing;
        existing = parentOf(existing);
    }
}

bool isUnderAny(const std::string& real, const std::vector<std::string>& realFolders)
{
    for (const std::string& folder : realFolders)
        if (isUnder(real, folder))
            return true;
    return false;
}

// The length of the URL scheme that opens `href` ("file" in file:/x), or 0. One letter before
// the colon is no scheme.
std::size_t schemeLength(const std::string& href)
{
    const auto colon = href.find(':');
    if (colon == std::string::npos || colon < 2)
        return 0;
    for (std::size_t i = 0; i < colon; ++i)
    {
        const char c = href[i];
        const bool isLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!isLetter && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return 0;
    }
    return colon;
}

} // namespace

std::string normalPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size())
    {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..")
        {
            if (!parts.empty())
                parts.pop_back();
        }
        else if (!part.empty() && part != ".")
            parts.push_back(part);
        start = end + 1;
    }
    std::string normal;
    for (const std::string& part : parts)
        normal += '/' + part;
    return normal.empty() ? "/" : normal;
}

std::string absoluteFolder(const std::string& folder)
{
    if (!folder.empty() && folder.front() == '/')
        return normalPath(folder);
    char current[PATH_MAX];
    if (::getcwd(current, sizeof current) == nullptr)
        refuseWithErrno("cannot find the current folder", errno);
    return normalPath(std::string(current) + '/' + folder);
}

std::string documentPath(const std::string& href, const std::string& base, bool& isRelative)
{
    if (href.empty())
        refuse("the href is empty");
    std::string path = href;
    const std::size_t scheme = schemeLength(href);
    std::string name = href.substr(0, scheme);
    for (char& c : name)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    // A scheme without an authority is part of a file name unless it is file: (man pages of
    // Perl modules are written as Mail::Box.3pm), as libxml2 opens it for xsltproc.
    if (scheme != 0 && name != "file" && href.compare(scheme + 1, 2, "//") == 0)
        refuse("only files can be written, not " + name + ": URLs");
    if (scheme != 0 && name == "file")
    {
        path = href.substr(scheme + 1);
        if (path.compare(0, 2, "//") == 0)
        {
            // file://host/path: only the local host has files we can write.
            const auto slash = path.find('/', 2);
            const std::string host = path.substr(2, slash == std::string::npos ? slash : slash - 2);
            if (!host.empty() && host != "localhost")
                refuse("the file URL names another host");
            path = slash == std::string::npos ? "/" : path.substr(slash);
        }
        path = percentDecoded(path);
    }
    if (path.empty() || path.back() == '/')
        refuse("the href names a folder, not a file");
    isRelative = path.front() != '/';
    return normalPath(isRelative ? base + '/' + path : path);
}

void prepareDocumentFolder(const std::string& path, const std::string& base, bool isRelative,
                           const std::vector<std::string>& writableFolders, bool mayCreate)
{
    std::vector<std::string> realFolders;
    for (const std::string& folder : writableFolders)
        realFolders.push_back(realPathOf(absoluteFolder(folder)));
    if (isRelative && !isUnderAny(realPathOf(base), realFolders))
        refuse("the base output folder " + base + " is not under a writable folder");
    const std::string parent = parentOf(path);
    if (!isUnderAny(realPathOf(parent), realFolders))
        refuse("the path is not under a writable folder");

    struct stat status = {};
    if (::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        refuse("the path names a folder");

    // Made from the top down, each checked to be a folder of its own and not a link that a
    // concurrent writer slipped in.
    std::vector<std::string> missing;
    for (std::string folder = parent; ::lstat(folder.c_str(), &status) != 0;
         folder = parentOf(folder))
    {
        if (errno != ENOENT)
            refuseWithErrno("cannot reach " + folder, errno);
        missing.push_back(folder);
    }
    if (!missing.empty() && !mayCreate)
        refuse("the folder " + missing.back() + " does not exist and may not be created");
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder)
    {
        if (::mkdir(folder->c_str(), 0777) != 0 && errno != EEXIST)
            refuseWithErrno("cannot create the folder " + *folder, errno);
        if (::lstat(folder->c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
            refuse("cannot create the folder " + *folder);
    }
    if (!missing.empty() && !isUnderAny(realPathOf(parent), realFolders))
        refuse("the path is not under a writable folder");
}

} // namespace prsm::detail
