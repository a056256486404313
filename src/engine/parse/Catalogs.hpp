// A list of XML catalogs, looked up through libxml2's catalog module.
#pragma once

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace prsm::detail
{

// The local path that a path or a file: URL names (percent-decoded); empty for a URL of another
// scheme or host.
std::string localFilePath(const std::string& name);

// The catalog files that xsltproc consults: those of XML_CATALOG_FILES (paths or file: URLs,
// separated by white space) when it is set, else /etc/xml/catalog when that exists.
std::vector<std::string> systemCatalogFiles();

// The catalogs of one list of files, consulted in order, each with the catalogs it delegates to
// or names as next. Files are read on first use and parsed once per process; none is read from
// the network. Lookups of every list are serialised, because lists share the parsed files.
// Problems with a file (missing, malformed, refused) are returned by takeProblems(), each once.
class Catalogs
{
public:
    explicit Catalogs(std::vector<std::string> files);
    Catalogs(const Catalogs&) = delete;
    Catalogs& operator=(const Catalogs&) = delete;
    ~Catalogs();

    const std::vector<std::string>& files() const { return m_files; }

    // The URI that the external identifier (`publicId`, `systemId`; either may be empty) maps
    // to, in OASIS order: system entries, rewrites and delegations, then public ones; empty when
    // none matches. systemSuffix entries, which libxml2 does not know, are tried after all of
    // these, longest suffix first.
    std::string resolveExternal(const std::string& publicId, const std::string& systemId);

    // The URI that the uri, rewriteURI and delegateURI entries map `uri` to, else the longest
    // matching uriSuffix entry; empty for none.
    std::string resolveUri(const std::string& uri);

    // Texts describing the catalog files that could not be used since the last call, one per
    // file and problem.
    std::vector<std::string> takeProblems();

private:
    struct Lists;

    // Keeps the first problem of each file not reported before.
    void keepProblems(std::vector<std::pair<std::string, std::string>>& problems);

    std::vector<std::string> m_files;
    std::unique_ptr<Lists> m_lists;
    std::vector<std::string> m_problems;
    std::set<std::string> m_problemFiles;
};

} // namespace prsm::detail
