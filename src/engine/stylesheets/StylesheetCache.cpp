// Compiled stylesheets kept for reuse by every transformer of the process.
#include "engine/stylesheets/StylesheetCache.hpp"

#include <sys/stat.h>

namespace prsm::detail
{

// One stat() per call, and nothing more: the key is looked up on every transformation.
std::optional<StylesheetKey> StylesheetKey::of(const std::string& name)
{
    // A URL may name anything, including something that changes on every fetch.
    if (name.empty() || name.find("://") != std::string::npos)
        return std::nullopt;
    struct stat status = {};
    if (::stat(name.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    const auto modified = std::chrono::seconds(status.st_mtim.tv_sec) +
                          std::chrono::nanoseconds(status.st_mtim.tv_nsec);
    return StylesheetKey{name, static_cast<std::uintmax_t>(status.st_dev),
                         static_cast<std::uintmax_t>(status.st_ino),
                         std::chrono::duration_cast<Modified>(modified),
                         static_cast<std::uintmax_t>(status.st_size)};
}

StylesheetCache& StylesheetCache::instance()
{
    static StylesheetCache cache;
    return cache;
}

SharedStylesheet StylesheetCache::obtain(const std::string& name, PRSMXslStylesheetUse& use,
                                         FunctionRef<SharedStylesheet()> compile)
{
    const std::optional<StylesheetKey> key = StylesheetKey::of(name);
    if (key)
    {
        if (SharedStylesheet kept = find(*key))
        {
            use = PRSMXslStylesheetUse{true, 0.0};
            return kept;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    SharedStylesheet compiled = compile();
    use = PRSMXslStylesheetUse{
        false, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
    if (key)
        insert(*key, compiled);
    return compiled;
}

SharedStylesheet StylesheetCache::find(const StylesheetKey& key)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (auto at = m_entries.begin(); at != m_entries.end(); ++at)
    {
        if (at->key == key)
        {
            m_entries.splice(m_entries.begin(), m_entries, at);
            return m_entries.front().stylesheet;
        }
    }
    return nullptr;
}

void StylesheetCache::insert(const StylesheetKey& key, SharedStylesheet stylesheet)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_capacity == 0)
        return;
    m_entries.remove_if([&](const Entry& entry) { return entry.key.name == key.name; });
    m_entries.push_front(Entry{key, std::move(stylesheet)});
    trim();
}

void StylesheetCache::setCapacity(std::size_t capacity)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_capacity = capacity;
    trim();
}

void StylesheetCache::clear()
{
    std::list<Entry> gone;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        gone.swap(m_entries);
    }
    // Destroyed outside the lock: freeing a compiled stylesheet takes a while.
}

std::size_t StylesheetCache::size()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_entries.size();
}

void StylesheetCache::trim()
{
    while (m_entries.size() > m_capacity)
        m_entries.pop_back();
}

} // namespace prsm::detail
