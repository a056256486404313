// Where a resource that a document or stylesheet names is read from, and whether it may be read.
#include "engine/parse/ResourceResolver.hpp"

#include "engine/limits/OperationGuard.hpp"
#include "engine/limits/ResourcePolicy.hpp"
#include "engine/parse/Catalogs.hpp"

#include <cstdlib>
#include <filesystem>
#include <libxml/uri.h>
#include <optional>
#include <sys/stat.h>

namespace prsm::detail
{
namespace
{

namespace fs = std::filesystem;

std::string absoluteReference(const std::string& reference, const std::string& base)
{
    if (base.empty() || reference.empty())
        return reference;
    xmlChar* built = xmlBuildURI(reinterpret_cast<const xmlChar*>(reference.c_str()),
                                 reinterpret_cast<const xmlChar*>(base.c_str()));
    if (built == nullptr)
        return reference;
    std::string text(reinterpret_cast<const char*>(built));
    xmlFree(built);
    return text;
}

bool isLocalFile(const std::string& location)
{
    const std::string path = localFilePath(location);
    struct stat status;
    return !path.empty() && ::stat(path.c_str(), &status) == 0;
}

// Whether the identifier, a path or a URL of any scheme, has a ".." segment once decoded.
bool hasClimb(const std::string& identifier)
{
    for (const fs::path& part : fs::path(percentDecoded(identifier)))
        if (part.native() == "..")
            return true;
    return false;
}

// Whether the local path of `location` climbs with ".." out of the folder where its first ".."
// stands: a rewritten identifier that reaches outside the folder it was rewritten to.
bool climbsOut(const std::string& location)
{
    const fs::path path(localFilePath(location));
    fs::path anchor;
    for (const fs::path& part : path)
    {
        if (part.native() == "..")
            break;
        anchor /= part;
    }
    if (anchor == path)
        return false;
    const fs::path normal = path.lexically_normal();
    auto at = normal.begin();
    for (const fs::path& part : anchor)
    {
        if (part.empty())
            continue;
        if (at == normal.end() || *at != part)
            return true;
        ++at;
    }
    return false;
}

// A character no identifier holds, appended to tell a rewritten answer (which carries it over)
// from one that an entry names.
constexpr char kProbe[] = "\x01";

bool endsWithProbe(const std::string& text)
{
    return !text.empty() && text.back() == kProbe[0];
}

std::string inQuotes(const std::string& text)
{
    return "\"" + text + "\"";
}

} // namespace

ResourceResolver::ResourceResolver(const PRSMXslMessageSink& sink) : m_sink(sink) {}

ResourceResolver::~ResourceResolver() = default;

Catalogs* ResourceResolver::catalogsFor(const PRSMXslLimits& limits)
{
    std::vector<std::string> files;
    if (limits.catalogs == PRSMXslLimits::Catalogs::Listed)
        files = limits.catalogFiles;
    else if (limits.catalogs == PRSMXslLimits::Catalogs::System)
        files = systemCatalogFiles();
    if (files.empty())
        return nullptr;
    if (!m_catalogs || m_catalogs->files() != files)
        m_catalogs = std::make_unique<Catalogs>(std::move(files));
    return m_catalogs.get();
}

void ResourceResolver::warn(const std::string& text) const
{
    if (m_sink)
        m_sink(PRSMXslMessage{PRSMXslMessage::Kind::Warning, text, std::string(), -1, -1});
}

ResolvedResource ResourceResolver::resolve(const PRSMXslLimits& limits, const std::string& publicId,
                                           const std::string& systemId, const std::string& base)
{
    ResolvedResource resolved;
    const std::string reference = absoluteReference(systemId, base);
    resolved.location = reference;
    Catalogs* catalogs = catalogsFor(limits);
    std::string answer;
    bool isUriAnswer = false;
    if (catalogs != nullptr)
    {
        // In libxml2's order, as xsltproc resolves: the external identifier, then the URI
        // entries for what is still not a local file.
        answer = catalogs->resolveExternal(publicId, reference);
        if (answer.empty() && !isLocalFile(reference))
        {
            answer = catalogs->resolveUri(reference);
            isUriAnswer = !answer.empty();
        }
        for (const std::string& problem : catalogs->takeProblems())
            warn(problem);
    }
    if (answer.empty() || answer == reference)
    {
        resolved.refusal = resourceRefusal(limits, systemId, base);
        return resolved;
    }

    const std::string named =
        (publicId.empty() ? std::string() : inQuotes(publicId) + " ") + inQuotes(reference);
    if (limits.reportCatalogResolutions)
        warn("XML catalog resolved " + named + " to " + answer);
    resolved.isMapped = true;
    if (hasClimb(reference) && climbsOut(answer))
    {
        resolved.refusal = "access to " + inQuotes(answer) + " refused: an XML catalog rewrote " +
                           named + " to a place outside the folder it names";
        resolved.location = answer;
        return resolved;
    }
    resolved.location = answer;
    resolved.refusal = resourceRefusal(limits, answer, std::string());
    if (!resolved.refusal.empty() && !limits.allowedDirectories.empty())
    {
        // An answer that a rewrite carried the identifier into follows the probe; one that an
        // entry names exactly does not, and that file the catalog's owner has vouched for.
        const std::string probed = isUriAnswer
                                       ? catalogs->resolveUri(reference + kProbe)
                                       : catalogs->resolveExternal(publicId, reference + kProbe);
        catalogs->takeProblems();
        if (!endsWithProbe(probed))
        {
            PRSMXslLimits anywhere = limits;
            anywhere.allowedDirectories.clear();
            resolved.refusal = resourceRefusal(anywhere, answer, std::string());
        }
    }
    if (!resolved.refusal.empty())
        resolved.refusal += " (an XML catalog's answer for " + named + ")";
    return resolved;
}

ResolvedResource resolveResource(OperationGuard& guard, const std::string& publicId,
                                 const std::string& systemId, const std::string& base)
{
    if (ResourceResolver* resolver = guard.resolver())
        return resolver->resolve(guard.limits(), publicId, systemId, base);
    ResolvedResource resolved;
    resolved.location = absoluteReference(systemId, base);
    resolved.refusal = resourceRefusal(guard.limits(), systemId, base);
    return resolved;
}

} // namespace prsm::detail
