// URI references as texts: resolving one against a base, and the relative form of one.
#include "engine/parse/UriText.hpp"

#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

namespace prsm::detail
{
namespace
{

// The five parts of a reference; a part that is absent is not the same as one that is empty.
struct Parts
{
    bool hasScheme = false;
    std::string scheme;
    bool hasAuthority = false;
    std::string authority;
    std::string path;
    bool hasQuery = false;
    std::string query;
    bool hasFragment = false;
    std::string fragment;
};

bool isSchemeChar(char c, bool isFirst)
{
    const auto u = static_cast<unsigned char>(c);
    return std::isalpha(u) || (!isFirst && (std::isdigit(u) || c == '+' || c == '-' || c == '.'));
}

Parts split(const std::string& text)
{
    Parts parts;
    std::size_t at = 0;
    while (at < text.size() && isSchemeChar(text[at], at == 0))
        ++at;
    // One letter before a colon is a drive, not a scheme.
    if (at > 1 && at < text.size() && text[at] == ':')
    {
        parts.hasScheme = true;
        parts.scheme = text.substr(0, at);
        ++at;
    }
    else
    {
        at = 0;
    }
    if (text.compare(at, 2, "//") == 0)
    {
        const std::size_t end = text.find_first_of("/?#", at + 2);
        parts.hasAuthority = true;
        parts.authority = text.substr(at + 2, end == std::string::npos ? end : end - at - 2);
        at = end == std::string::npos ? text.size() : end;
    }
    std::size_t end = text.find_first_of("?#", at);
    parts.path = text.substr(at, end == std::string::npos ? end : end - at);
    at = end == std::string::npos ? text.size() : end;
    if (at < text.size() && text[at] == '?')
    {
        end = text.find('#', at);
        parts.hasQuery = true;
        parts.query = text.substr(at + 1, end == std::string::npos ? end : end - at - 1);
        at = end == std::string::npos ? text.size() : end;
    }
    if (at < text.size() && text[at] == '#')
    {
        parts.hasFragment = true;
        parts.fragment = text.substr(at + 1);
    }
    return parts;
}

std::string join(const Parts& parts)
{
    std::string text;
    if (parts.hasScheme)
        text += parts.scheme + ':';
    if (parts.hasAuthority)
        text += "//" + parts.authority;
    text += parts.path;
    if (parts.hasQuery)
        text += '?' + parts.query;
    if (parts.hasFragment)
        text += '#' + parts.fragment;
    return text;
}

// Removes "." and "name/.." segments. An absolute path loses the ".." that would climb above
// its root; a relative one keeps them.
std::string withoutDotSegments(const std::string& path)
{
    const bool isAbsolute = !path.empty() && path[0] == '/';
    std::vector<std::string> kept;
    std::size_t at = isAbsolute ? 1 : 0;
    for (bool isLast = false; !isLast;)
    {
        std::size_t end = path.find('/', at);
        isLast = end == std::string::npos;
        if (isLast)
            end = path.size();
        const std::string segment = path.substr(at, end - at);
        at = end + 1;
        if (segment == "..")
        {
            if (!kept.empty() && kept.back() != "..")
                kept.pop_back();
            else if (!isAbsolute)
                kept.push_back(segment);
        }
        else if (segment != ".")
        {
            kept.push_back(segment);
            continue;
        }
        if (isLast)
            kept.emplace_back(); // a path that ends in a dot segment names a folder
    }
    std::string result = isAbsolute ? "/" : "";
    for (std::size_t i = 0; i < kept.size(); ++i)
        result += (i > 0 ? "/" : "") + kept[i];
    return result;
}

std::string merged(const Parts& base, const std::string& path)
{
    if (base.hasAuthority && base.path.empty())
        return '/' + path;
    const std::size_t slash = base.path.rfind('/');
    return slash == std::string::npos ? path : base.path.substr(0, slash + 1) + path;
}

} // namespace

std::string resolveUri(const std::string& reference, const std::string& base)
{
    const Parts r = split(reference);
    const Parts b = split(base);
    Parts t;
    if (r.hasScheme)
    {
        t = r;
        t.path = withoutDotSegments(r.path);
        return join(t);
    }
    t.hasScheme = b.hasScheme;
    t.scheme = b.scheme;
    if (r.hasAuthority)
    {
        t.hasAuthority = true;
        t.authority = r.authority;
        t.path = withoutDotSegments(r.path);
        t.hasQuery = r.hasQuery;
        t.query = r.query;
    }
    else
    {
        t.hasAuthority = b.hasAuthority;
        t.authority = b.authority;
        if (r.path.empty())
        {
            t.path = b.path;
            t.hasQuery = r.hasQuery || b.hasQuery;
            t.query = r.hasQuery ? r.query : b.query;
        }
        else
        {
            t.path = withoutDotSegments(r.path[0] == '/' ? r.path : merged(b, r.path));
            t.hasQuery = r.hasQuery;
            t.query = r.query;
        }
    }
    t.hasFragment = r.hasFragment;
    t.fragment = r.fragment;
    return join(t);
}

std::string relativeUri(const std::string& target, const std::string& base)
{
    const Parts t = split(target);
    const Parts b = split(base);
    if (t.hasScheme != b.hasScheme || t.scheme != b.scheme || t.authority != b.authority)
        return target;
    std::string to = t.path;
    std::string from = b.path;
    if (to.compare(0, 2, "./") == 0)
        to.erase(0, 2);
    if (from.compare(0, 2, "./") == 0)
        from.erase(0, 2);
    else if (!from.empty() && from[0] == '/' && (to.empty() || to[0] != '/'))
        from.erase(0, 1);
    std::size_t shared = 0;
    while (shared < to.size() && shared < from.size() && to[shared] == from[shared])
        ++shared;
    if (shared == to.size() && shared == from.size())
        return {};
    while (shared > 0 && to[shared - 1] != '/')
        --shared;
    std::string result;
    for (std::size_t at = shared; at < from.size(); ++at)
        if (from[at] == '/')
            result += "../";
    result += to.substr(shared);
    return result.empty() ? "./" : result;
}

std::string currentFolderUri()
{
    std::error_code ignored;
    std::string folder = std::filesystem::current_path(ignored).string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return "file://" + folder;
}

} // namespace prsm::detail
