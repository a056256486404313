// The documents that document() reads from local files, parsed once for the process.
#pragma once

#include "engine/stylesheets/StylesheetCache.hpp"

#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

struct PRSMXslLimits;

namespace prsm::detail
{

using SharedDocument = std::shared_ptr<const xalanc::XalanSourceTreeDocument>;

// What identifies one parse of a local file: the file, its version, and the settings that decide
// what a parse of it may read and gives (the limits that can refuse it, XInclude, catalogs,
// validation).
struct DocumentKey
{
    std::string path;
    FileVersion version;
    std::string settings;

    bool operator==(const DocumentKey& other) const
    {
        return version == other.version && path == other.path && settings == other.settings;
    }

    // The key of the local file `path` read under `limits`, validating or not; none for what is
    // not a regular file.
    static std::optional<DocumentKey> of(const std::string& path, const PRSMXslLimits& limits,
                                         bool validates);
};

// Stylesheets load the same few documents on every transformation (DocBook's localisations:
// l10n.xml, en.xml and l10n.xsl itself through document('')). A source tree is not changed once
// built (whitespace is stripped as the tree is read, not in it), so transformations on any thread
// read one copy at once; each transformation still has its own keys and ids over it. Only a
// document read from its one file is kept: none that names a DTD or an entity, or that XInclude
// assembled, whose other files could change unseen. Bounded in documents and in the bytes of
// their files, least recently used out first; every member is safe to call from any thread.
class SharedDocuments
{
public:
    static constexpr std::size_t kMostDocuments = 32;
    static constexpr std::uintmax_t kMostBytes = std::uintmax_t{16} << 20;
    static constexpr std::uintmax_t kLargestFile = std::uintmax_t{1} << 20;

    static SharedDocuments& instance();

    // The kept document of `key`, or null.
    SharedDocument find(const DocumentKey& key);

    // Keeps `document`, parsed from the file of `key`, unless the file is too large.
    void insert(const DocumentKey& key, SharedDocument document);

    // Forgets every document; transformations that hold one keep it until they end.
    void clear();

private:
    struct Entry
    {
        DocumentKey key;
        SharedDocument document;
    };

    std::mutex m_mutex;
    std::list<Entry> m_entries; // most recently used first
    std::uintmax_t m_bytes = 0;
};

} // namespace prsm::detail
