// Where a resource that a document or stylesheet names is read from, and whether it may be read.
#pragma once

#include "PRSMXslLimits.hpp"
#include "PRSMXslTransformer.hpp"

#include <memory>
#include <string>
#include <vector>

namespace prsm::detail
{

class Catalogs;
class OperationGuard;

// The outcome of resolving one named resource.
struct ResolvedResource
{
    // What to read: the catalogs' answer, else the reference itself, made absolute against the
    // base of the document that names it where that base is known.
    std::string location;
    // Whether `location` is a catalog's answer rather than the reference itself.
    bool isMapped = false;
    // Why the resource may not be read; empty when it may.
    std::string refusal;
};

// The catalogs of one transformer, made again when its limits name other catalogs, and the
// sink its warnings and resolution reports go to. Not for use by two threads at once.
class ResourceResolver
{
public:
    // `sink` must outlive the resolver; it is read at each resolution, so it may change.
    explicit ResourceResolver(const PRSMXslMessageSink& sink);
    ResourceResolver(const ResourceResolver&) = delete;
    ResourceResolver& operator=(const ResourceResolver&) = delete;
    ~ResourceResolver();

    // Resolves the resource with the external identifier `publicId` (empty for none) and
    // `systemId` (a URI reference or a path) that the document at `base` (empty for none) names:
    // first the catalogs of `limits` (the identifier, then, unless it names a local file, the
    // URI entries), then the access policy of `limits` on the outcome. A catalog's answer that
    // climbs out of where it was rewritten to is refused; one that a public, system or uri
    // entry names is exempt from allowedDirectories. Problems with catalog files go to the sink
    // as warnings, once per file; an exception from the sink goes through.
    ResolvedResource resolve(const PRSMXslLimits& limits, const std::string& publicId,
                             const std::string& systemId, const std::string& base);

private:
    Catalogs* catalogsFor(const PRSMXslLimits& limits);
    void warn(const std::string& text) const;

    const PRSMXslMessageSink& m_sink;
    std::unique_ptr<Catalogs> m_catalogs;
};

// Resolves a resource for the operation of `guard` with the resolver of its transformer, or
// with the access policy alone when it has none. The one entry for every resource loaded on
// behalf of a document or stylesheet: DTDs and entities, xsl:include and xsl:import,
// document() and XInclude.
ResolvedResource resolveResource(OperationGuard& guard, const std::string& publicId,
                                 const std::string& systemId, const std::string& base);

} // namespace prsm::detail
