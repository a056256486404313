// Which resources that documents and stylesheets name may be read.
#include "engine/limits/ResourcePolicy.hpp"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace prsm::detail
{
namespace
{

namespace fs = std::filesystem;

// The scheme of a URL in lower case, or empty for a path. One letter before the colon is a
// drive, not a scheme.
std::string schemeOf(const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size() &&
           (std::isalpha(static_cast<unsigned char>(text[at])) ||
            (at > 0 && (std::isdigit(static_cast<unsigned char>(text[at])) || text[at] == '+' ||
                        text[at] == '-' || text[at] == '.'))))
        ++at;
    if (at < 2 || at >= text.size() || text[at] != ':')
        return {};
    std::string scheme = text.substr(0, at);
    for (char& c : scheme)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return scheme;
}

// Where a resource lives: on this machine at `path`, or elsewhere.
struct Location
{
    bool isLocal;
    fs::path path;
};

// The local path of a file: URL; a URL naming another host is not local.
Location fileUrlLocation(const std::string& url)
{
    std::string rest = url.substr(url.find(':') + 1);
    if (rest.compare(0, 2, "//") == 0)
    {
        const std::size_t slash = rest.find('/', 2);
        const std::string host = rest.substr(2, slash == std::string::npos ? slash : slash - 2);
        if (!host.empty() && host != "localhost")
            return {false, {}};
        rest = slash == std::string::npos ? "/" : rest.substr(slash);
    }
    return {true, fs::path(percentDecoded(rest))};
}

Location locate(const std::string& reference, const std::string& base)
{
    const std::string scheme = schemeOf(reference);
    if (!scheme.empty())
        return scheme == "file" ? fileUrlLocation(reference) : Location{false, {}};
    // A network-path reference ("//host/...") leaves this machine whatever the base.
    if (reference.compare(0, 2, "//") == 0)
        return {false, {}};

    const std::string baseScheme = schemeOf(base);
    if (!baseScheme.empty() && baseScheme != "file")
        return {false, {}};
    fs::path folder;
    bool isUrl = false;
    if (baseScheme == "file")
    {
        const Location at = fileUrlLocation(base);
        if (!at.isLocal)
            return at;
        folder = at.path.parent_path();
        isUrl = true;
    }
    else if (!base.empty())
    {
        folder = fs::path(base).parent_path();
    }
    // Relative references inside a URL are percent-encoded; plain paths are taken as written.
    const fs::path relative(isUrl ? percentDecoded(reference) : reference);
    if (relative.is_absolute())
        return {true, relative};
    std::error_code ignored;
    if (folder.empty())
        folder = fs::current_path(ignored);
    return {true, folder / relative};
}

// Whether `path` lies in `folder` or below it, both already resolved.
bool isInside(const fs::path& path, const fs::path& folder)
{
    auto at = path.begin();
    for (const fs::path& part : folder)
    {
        if (part.empty())
            continue; // the empty last part of a folder written with a trailing slash
        if (at == path.end() || *at != part)
            return false;
        ++at;
    }
    return true;
}

fs::path resolved(const fs::path& path)
{
    std::error_code error;
    fs::path result = fs::weakly_canonical(path, error);
    return error ? path.lexically_normal() : result;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string percentDecoded(const std::string& text)
{
    std::string decoded;
    for (std::size_t at = 0; at < text.size(); ++at)
    {
        if (text[at] == '%' && at + 2 < text.size() && hexValue(text[at + 1]) >= 0 &&
            hexValue(text[at + 2]) >= 0)
        {
            decoded += static_cast<char>(hexValue(text[at + 1]) * 16 + hexValue(text[at + 2]));
            at += 2;
        }
        else
        {
            decoded += text[at];
        }
    }
    return decoded;
}

std::string resourceRefusal(const PRSMXslLimits& limits, const std::string& reference,
                            const std::string& base)
{
    const Location location = locate(reference, base);
    const std::string named = "access to \"" + reference + "\" refused: ";
    if (!location.isLocal)
        return limits.allowNetwork
                   ? std::string()
                   : named + "network resources are not allowed (PRSMXslLimits::allowNetwork)";
    if (limits.allowedDirectories.empty())
        return {};
    const fs::path path = resolved(location.path);
    // An empty entry names no folder: resolved, it would hold every path.
    for (const std::string& folder : limits.allowedDirectories)
        if (!folder.empty() && isInside(path, resolved(folder)))
            return {};
    return named + path.string() +
           " lies outside the allowed folders (PRSMXslLimits::allowedDirectories)";
}

std::optional<std::string> localPathOf(const std::string& reference)
{
    const std::string scheme = schemeOf(reference);
    if (scheme.empty())
    {
        if (!fs::path(reference).is_absolute())
            return std::nullopt;
        return reference;
    }
    if (scheme != "file")
        return std::nullopt;
    const Location at = fileUrlLocation(reference);
    if (!at.isLocal)
        return std::nullopt;
    return at.path.string();
}

} // namespace prsm::detail
