// Compiled stylesheets kept for reuse by every transformer of the process.
#include "engine/stylesheets/StylesheetCache.hpp"

#include "PRSMXslLimits.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/limits/ResourcePolicy.hpp"
#include "engine/stylesheets/ModulePrefetch.hpp"
#include "engine/stylesheets/ModuleWatch.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace prsm::detail
{

std::optional<FileVersion> FileVersion::of(const std::string& path)
{
    struct stat status = {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    const auto modified = std::chrono::seconds(status.st_mtim.tv_sec) +
                          std::chrono::nanoseconds(status.st_mtim.tv_nsec);
    return FileVersion{static_cast<std::uintmax_t>(status.st_dev),
                       static_cast<std::uintmax_t>(status.st_ino),
                       std::chrono::duration_cast<Modified>(modified),
                       static_cast<std::uintmax_t>(status.st_size)};
}

std::optional<std::string> bytesOf(const std::string& path, const FileVersion& version)
{
    std::ifstream file(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(version.size), '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    if (file.bad() || bytes.size() != version.size ||
        file.peek() != std::ifstream::traits_type::eof())
        return std::nullopt;
    return bytes;
}

void StylesheetModules::add(const std::string& systemId)
{
    const std::optional<std::string> path = localPathOf(systemId);
    const std::optional<FileVersion> version =
        path ? FileVersion::of(*path) : std::optional<FileVersion>();
    if (!version)
    {
        isCheckable = false;
        return;
    }
    if (!ModuleWatch::instance().watch(*path))
        isWatched = false;
    modules.push_back(ModuleVersion{*path, *version});
}

bool StylesheetModules::areUnchanged() const
{
    for (const ModuleVersion& module : modules)
        if (FileVersion::of(module.path) != std::optional<FileVersion>(module.version))
            return false;
    return true;
}

std::string compileLimitsText(const PRSMXslLimits& limits)
{
    std::string text =
        std::to_string(limits.maxEntityExpansions) + ' ' + std::to_string(limits.maxAmplification) +
        ' ' + std::to_string(limits.maxElementDepth) + ' ' + std::to_string(limits.maxAttributes) +
        ' ' + std::to_string(limits.maxExpressionDepth) + ' ' + (limits.allowNetwork ? '1' : '0') +
        (limits.allowDtd ? '1' : '0');
    for (const std::string& folder : limits.allowedDirectories)
        text += '\n' + folder;
    return text;
}

std::optional<StylesheetKey> StylesheetKey::of(const std::string& name, const PRSMXslLimits& limits)
{
    // A URL may name anything, including something that changes on every fetch.
    if (name.find("://") != std::string::npos)
        return std::nullopt;
    const std::optional<FileVersion> version = FileVersion::of(name);
    if (!version)
        return std::nullopt;
    return StylesheetKey{name, *version, compileLimitsText(limits)};
}

StylesheetKey StylesheetKey::ofText(const std::string& text, const std::string& baseUri,
                                    const PRSMXslLimits& limits)
{
    // No file name starts with a control character, so a text never meets a file.
    return StylesheetKey{kTextMark + baseUri + kTextMark + text, FileVersion{},
                         compileLimitsText(limits)};
}

namespace
{

// `path` from the root, so that a helper on another thread resolves it alike.
std::string absolutePath(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

} // namespace

StylesheetCache& StylesheetCache::instance()
{
    static StylesheetCache cache;
    return cache;
}

SharedStylesheet
StylesheetCache::obtain(const std::optional<StylesheetKey>& key, PRSMXslStylesheetUse& use,
                        FunctionRef<SharedStylesheet(std::vector<std::string>&)> compile)
{
    bool isCompiling = false;
    std::shared_ptr<ModulePrefetch> prefetch;
    for (Turn turn = Turn::Look; key && turn == Turn::Look;)
    {
        if (SharedStylesheet kept = find(*key))
        {
            use = PRSMXslStylesheetUse{true, 0.0};
            return kept;
        }
        turn = takeTurn(*key, prefetch);
        isCompiling = turn == Turn::Compile;
    }
    // Those waiting for this compilation look again when it ends, however it ends.
    struct Compiling
    {
        StylesheetCache* cache;
        const StylesheetKey* key;
        ~Compiling()
        {
            if (cache != nullptr)
                cache->endCompiling(*key);
        }
    } compiling{isCompiling ? this : nullptr, key ? &*key : nullptr};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> read;
    const ModulePrefetch::Scope prefetchScope(isCompiling ? prefetch.get() : nullptr);
    SharedStylesheet compiled = compile(read);
    use = PRSMXslStylesheetUse{
        false, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
    if (key)
    {
        // Versions taken after the compilation: a module rewritten meanwhile is caught next time
        // only if it changes again, the same window the stylesheet's own file has.
        StylesheetModules modules;
        for (const std::string& module : read)
            modules.add(module);
        insert(*key, compiled, std::move(modules));
    }
    return compiled;
}

SharedStylesheet StylesheetCache::find(const StylesheetKey& key)
{
    SharedStylesheet stylesheet;
    std::shared_ptr<const StylesheetModules> modules;
    std::uint64_t checked = kNeverChecked;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (auto at = m_entries.begin(); at != m_entries.end(); ++at)
        {
            if (at->key == key)
            {
                m_entries.splice(m_entries.begin(), m_entries, at);
                stylesheet = m_entries.front().stylesheet;
                modules = m_entries.front().modules;
                checked = m_entries.front().checkedEpoch;
                break;
            }
        }
    }
    if (!stylesheet || modules->modules.empty())
        return stylesheet;
    // Taken before the checks: a change while they run moves the epoch past the one recorded.
    const std::uint64_t now = ModuleWatch::instance().epoch();
    if (modules->isWatched && checked == now)
        return stylesheet;
    // A changed module makes a miss; the compilation that follows replaces the entry.
    if (!modules->areUnchanged())
        return nullptr;
    if (modules->isWatched)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (Entry& entry : m_entries)
            if (entry.stylesheet == stylesheet)
                entry.checkedEpoch = now;
    }
    return stylesheet;
}

void StylesheetCache::insert(const StylesheetKey& key, SharedStylesheet stylesheet,
                             StylesheetModules modules)
{
    if (!modules.isCheckable)
        return;
    auto kept = std::make_shared<const StylesheetModules>(std::move(modules));
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_capacity == 0)
        return;
    m_entries.remove_if([&](const Entry& entry)
                        { return entry.key.name == key.name && entry.key.limits == key.limits; });
    m_entries.push_front(Entry{key, std::move(stylesheet), std::move(kept)});
    trim();
}

StylesheetCache::Turn StylesheetCache::takeTurn(const StylesheetKey& key,
                                                std::shared_ptr<ModulePrefetch>& prefetch)
{
    const auto isCompiled = [&] { return compilationOf(key) == m_compiling.end(); };
    std::unique_lock<std::mutex> lock(m_mutex);
    // Nothing would be kept for the others to find.
    if (m_capacity == 0)
        return Turn::CompileAlone;
    if (isCompiled())
    {
        prefetch =
            key.isText() ? nullptr : std::make_shared<ModulePrefetch>(absolutePath(key.name));
        m_compiling.push_back(Compilation{key, prefetch});
        return Turn::Compile;
    }
    // Rather than only wait, read ahead what the compilation will read.
    if (std::shared_ptr<ModulePrefetch> helped = compilationOf(key)->prefetch)
    {
        lock.unlock();
        helped->help();
        lock.lock();
    }
    return waitWithinOperation(m_compiled, lock, isCompiled) ? Turn::Look : Turn::CompileAlone;
}

void StylesheetCache::readAhead()
{
    std::shared_ptr<ModulePrefetch> prefetch;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (const Compilation& compiling : m_compiling)
            if (compiling.prefetch)
            {
                prefetch = compiling.prefetch;
                break;
            }
    }
    if (prefetch)
        prefetch->help(ModulePrefetch::Help::WhileRoomAhead);
}

std::vector<StylesheetCache::Compilation>::iterator
StylesheetCache::compilationOf(const StylesheetKey& key)
{
    return std::find_if(m_compiling.begin(), m_compiling.end(),
                        [&](const Compilation& compiling) { return compiling.key == key; });
}

void StylesheetCache::endCompiling(const StylesheetKey& key)
{
    std::shared_ptr<ModulePrefetch> prefetch;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        const auto ended = compilationOf(key);
        prefetch = std::move(ended->prefetch);
        m_compiling.erase(ended);
    }
    if (prefetch)
        prefetch->close();
    m_compiled.notify_all();
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
