// The documents that document() reads from local files, parsed once for the process.
#include "engine/parse/SharedDocuments.hpp"

#include "PRSMXslLimits.hpp"

namespace prsm::detail
{

std::optional<DocumentKey> DocumentKey::of(const std::string& path, const PRSMXslLimits& limits,
                                           bool validates)
{
    const std::optional<FileVersion> version = FileVersion::of(path);
    if (!version)
        return std::nullopt;
    std::string settings = compileLimitsText(limits);
    settings += limits.processXInclude ? " xinclude" : "";
    settings += validates ? " validating" : "";
    settings += " catalogs " + std::to_string(static_cast<int>(limits.catalogs));
    for (const std::string& file : limits.catalogFiles)
        settings += '\n' + file;
    return DocumentKey{path, *version, std::move(settings)};
}

SharedDocuments& SharedDocuments::instance()
{
    static SharedDocuments documents;
    return documents;
}

SharedDocument SharedDocuments::find(const DocumentKey& key)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (auto at = m_entries.begin(); at != m_entries.end(); ++at)
        if (at->key == key)
        {
            m_entries.splice(m_entries.begin(), m_entries, at);
            return m_entries.front().document;
        }
    return nullptr;
}

void SharedDocuments::insert(const DocumentKey& key, SharedDocument document)
{
    if (key.version.size > kLargestFile)
        return;
    std::list<Entry> gone; // freed outside the lock
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (auto at = m_entries.begin(); at != m_entries.end();)
    {
        auto next = std::next(at);
        if (at->key.path == key.path && at->key.settings == key.settings)
        {
            m_bytes -= at->key.version.size;
            gone.splice(gone.end(), m_entries, at);
        }
        at = next;
    }
    m_entries.push_front(Entry{key, std::move(document)});
    m_bytes += key.version.size;
    while (m_entries.size() > kMostDocuments || m_bytes > kMostBytes)
    {
        m_bytes -= m_entries.back().key.version.size;
        gone.splice(gone.end(), m_entries, std::prev(m_entries.end()));
    }
}

void SharedDocuments::clear()
{
    std::list<Entry> gone;
    const std::lock_guard<std::mutex> lock(m_mutex);
    gone.swap(m_entries);
    m_bytes = 0;
}

} // namespace prsm::detail
