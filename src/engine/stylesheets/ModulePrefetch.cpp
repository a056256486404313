// The modules of one compilation, parsed ahead by the threads that wait for it.
#include "engine/stylesheets/ModulePrefetch.hpp"

#include "engine/limits/OperationGuard.hpp"
#include "engine/limits/ResourcePolicy.hpp"
#include "engine/parse/ModuleRecording.hpp"
#include "engine/parse/NullNamespaceAlias.hpp"
#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/URISupport.hpp>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <vector>

namespace prsm::detail
{
namespace
{

// Bounds on what one helper records: the compilation reads any module it did not.
constexpr std::size_t kMostModules = 1000;
constexpr std::size_t kMostDepth = 64;
// What waits recorded for the compilation to take it: a few modules ahead are enough to keep it
// from parsing, and more would only be memory in the waiting thread's heap.
constexpr std::size_t kMostAhead = std::size_t{2} << 20;

thread_local ModulePrefetch* t_current = nullptr;

// The URL that `reference` names relative to the URL `base`, as the engine resolves an href.
std::optional<std::string> resolved(const std::string& reference, const std::string& base)
{
    try
    {
        xalanc::XalanDOMString url(engineMemory());
        xalanc::URISupport::getURLStringFromString(toEngine(reference.c_str()),
                                                   toEngine(base.c_str()), url);
        return utf8Of(url);
    }
    catch (...)
    {
        return std::nullopt; // left to the compilation, which reports it
    }
}

bool hasTimeLeft()
{
    const auto left = operationTimeLeft();
    return !left || *left > std::chrono::steady_clock::duration::zero();
}

} // namespace

std::optional<ModuleFile> ModuleFile::named(const std::string& systemId)
{
    constexpr std::uintmax_t kMostBytes = std::uintmax_t{4} << 20;
    std::optional<std::string> path = localPathOf(systemId);
    const std::optional<FileVersion> version =
        path ? FileVersion::of(*path) : std::optional<FileVersion>();
    if (!version || version->size > kMostBytes)
        return std::nullopt;
    return ModuleFile{std::move(*path), *version};
}

std::optional<std::string> ModuleFile::unfilteredBytes() const
{
    std::optional<std::string> bytes = bytesOf(path, version);
    if (bytes && NullNamespaceAlias::mayApplyTo(*bytes))
        return std::nullopt;
    return bytes;
}

ModulePrefetch::ModulePrefetch(std::string path) : m_path(std::move(path)) {}

std::shared_ptr<const ModuleRecording> ModulePrefetch::take(const FileVersion& version)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_taken.push_back(version);
    const auto found = std::find_if(m_ready.begin(), m_ready.end(),
                                    [&](const auto& ready) { return ready.first == version; });
    if (found == m_ready.end())
        return nullptr;
    std::shared_ptr<const ModuleRecording> recording = std::move(found->second);
    m_ready.erase(found);
    m_ahead -= recording->size();
    m_progress.notify_all();
    return recording;
}

void ModulePrefetch::help(Help how)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_isHelped || m_isClosed || m_isAbandoned)
            return;
        m_isHelped = true;
    }
    bool isAbandoned = false;
    try
    {
        xalanc::XalanDOMString url(engineMemory());
        xalanc::URISupport::getURLStringFromString(toEngine(m_path.c_str()), url);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_isStarted)
                m_pending.push_back(Pending{utf8Of(url), 0});
            m_isStarted = true;
        }
        ModuleRecording::Maker maker;
        while (recordNext(maker, how))
        {
        }
    }
    catch (...)
    {
        // Whatever the helpers could not record, the compilation reads itself.
        isAbandoned = true;
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_isHelped = false;
    m_isAbandoned = m_isAbandoned || isAbandoned;
}

void ModulePrefetch::close()
{
    std::vector<std::pair<FileVersion, std::shared_ptr<const ModuleRecording>>> dropped;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_isClosed = true;
        m_ahead = 0;
        dropped.swap(m_ready);
    }
    m_progress.notify_all();
}

bool ModulePrefetch::isTaken(const FileVersion& version) const
{
    return std::find(m_taken.begin(), m_taken.end(), version) != m_taken.end();
}

bool ModulePrefetch::recordNext(ModuleRecording::Maker& maker, Help how)
{
    Pending next;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_isClosed || m_pending.empty() ||
            (how == Help::WhileRoomAhead && m_ahead >= kMostAhead))
            return false;
        next = std::move(m_pending.back());
        m_pending.pop_back();
    }
    const std::optional<ModuleFile> file = ModuleFile::named(next.url);
    if (!file || next.depth > kMostDepth)
        return true;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_isClosed || m_seen.size() >= kMostModules)
            return false;
        if (std::find(m_seen.begin(), m_seen.end(), file->version) != m_seen.end())
            return true;
        m_seen.push_back(file->version);
    }
    if (!hasTimeLeft())
        return false;
    // A module the compilation reads through a filter, or cannot read from its bytes, is left to
    // it, with the modules it names.
    const std::optional<std::string> bytes = file->unfilteredBytes();
    if (!bytes)
        return true;
    const std::shared_ptr<const ModuleRecording> recording = maker.record(*bytes, next.url);
    if (!recording)
        return true;
    std::vector<Pending> named;
    const std::vector<std::string>& references = recording->moduleReferences();
    for (auto reference = references.rbegin(); reference != references.rend(); ++reference)
        if (std::optional<std::string> url = resolved(*reference, next.url))
            named.push_back(Pending{std::move(*url), next.depth + 1});
    std::unique_lock<std::mutex> lock(m_mutex);
    while (how == Help::UntilEnd && !m_isClosed && !m_ready.empty() &&
           m_ahead + recording->size() > kMostAhead)
    {
        if (!hasTimeLeft())
            return false;
        m_progress.wait_for(lock, std::chrono::milliseconds(20));
    }
    if (m_isClosed)
        return false;
    if (!isTaken(file->version))
    {
        m_ready.emplace_back(file->version, recording);
        m_ahead += recording->size();
    }
    m_pending.insert(m_pending.end(), std::make_move_iterator(named.begin()),
                     std::make_move_iterator(named.end()));
    return true;
}

ModulePrefetch* ModulePrefetch::current()
{
    return t_current;
}

ModulePrefetch::Scope::Scope(ModulePrefetch* prefetch) : m_outer(t_current)
{
    t_current = prefetch;
}

ModulePrefetch::Scope::~Scope()
{
    t_current = m_outer;
}

} // namespace prsm::detail
