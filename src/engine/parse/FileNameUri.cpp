// The system identifier by which the engine opens a file the host names.
#include "engine/parse/FileNameUri.hpp"

#include "platform/EngineText.hpp"

#include <cstdio>
#include <unistd.h>

namespace prsm::detail
{
namespace
{

// A scheme of two letters or more: "c:" is a drive, not a scheme.
bool isUri(const std::string& name)
{
    const auto colon = name.find(':');
    if (colon == std::string::npos || colon < 2)
        return false;
    for (std::string::size_type at = 0; at < colon; ++at)
    {
        const char c = name[at];
        const bool isLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool isOther = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!isLetter && !(at > 0 && isOther))
            return false;
    }
    return true;
}

// Characters a URI gives a meaning, or does not allow, in a path; bytes beyond ASCII stay as
// they are, which the parser reads as the characters of the file name.
bool needsEscape(unsigned char c)
{
    if (c <= 0x20 || c == 0x7F)
        return true;
    switch (c)
    {
    case '%':
    case '#':
    case '?':
    case '"':
    case '<':
    case '>':
    case '[':
    case ']':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
        return true;
    default:
        return false;
    }
}

std::string currentFolder()
{
    std::string folder(256, '\0');
    while (getcwd(folder.data(), folder.size()) == nullptr)
    {
        if (folder.size() > 65536)
            return "/";
        folder.resize(folder.size() * 2);
    }
    folder.resize(folder.find('\0'));
    return folder;
}

} // namespace

xalanc::XalanDOMString systemIdOfName(const std::string& name)
{
    if (name.empty() || isUri(name))
        return toEngine(name.c_str());
    // A relative name is resolved against the current folder, which may hold such characters.
    const std::string path = name.front() == '/' ? name : currentFolder() + "/" + name;
    if (path.find_first_of("#%?") == std::string::npos)
        return toEngine(name.c_str());
    std::string url = "file://";
    for (const char c : path)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (!needsEscape(byte))
        {
            url += c;
            continue;
        }
        char escape[4];
        std::snprintf(escape, sizeof escape, "%%%02X", byte);
        url += escape;
    }
    return toEngine(url.c_str());
}

xalanc::XalanDOMString systemIdOfName(const xalanc::XalanDOMString& name)
{
    return systemIdOfName(utf8Of(name));
}

} // namespace prsm::detail
