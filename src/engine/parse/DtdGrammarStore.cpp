// The DTD grammars that every reader of the process reuses.
#include "engine/parse/DtdGrammarStore.hpp"

#include "engine/stylesheets/ModuleWatch.hpp"

#include <xercesc/framework/XMLGrammarDescription.hpp>

namespace prsm::detail
{
namespace
{

std::mutex g_currentMutex;
std::shared_ptr<DtdGrammarStore> g_current;

} // namespace

DtdGrammarStore::~DtdGrammarStore()
{
    for (auto& kept : m_grammars)
        delete kept.second.grammar;
}

std::shared_ptr<DtdGrammarStore> DtdGrammarStore::current(xercesc::MemoryManager& manager)
{
    std::shared_ptr<DtdGrammarStore> store;
    {
        const std::lock_guard<std::mutex> lock(g_currentMutex);
        store = g_current;
    }
    // Checked outside the lock: the files of a generation are checked by one stat() each.
    if (store && &store->m_manager == &manager && store->isCurrent())
        return store;
    const std::lock_guard<std::mutex> lock(g_currentMutex);
    if (g_current != store && g_current && &g_current->m_manager == &manager)
        return g_current; // another thread began the new generation meanwhile
    g_current = std::make_shared<DtdGrammarStore>(manager);
    return g_current;
}

bool DtdGrammarStore::isCurrent()
{
    {
        const std::lock_guard<std::mutex> lock(g_currentMutex);
        if (g_current.get() != this)
            return false;
    }
    if (filesAreUnchanged())
        return true;
    const std::lock_guard<std::mutex> lock(g_currentMutex);
    if (g_current.get() == this)
        g_current.reset();
    return false;
}

void DtdGrammarStore::clear()
{
    std::shared_ptr<DtdGrammarStore> gone;
    const std::lock_guard<std::mutex> lock(g_currentMutex);
    gone.swap(g_current);
}

bool DtdGrammarStore::shouldTry(const std::string& systemId)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_tried.insert(systemId).second;
}

xercesc::Grammar* DtdGrammarStore::find(const XMLCh* key)
{
    if (key == nullptr)
        return nullptr;
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_grammars.find(key);
    return found != m_grammars.end() ? found->second.grammar : nullptr;
}

bool DtdGrammarStore::adopt(xercesc::Grammar* grammar, const DtdFiles& files)
{
    if (grammar == nullptr || grammar->getGrammarType() != xercesc::Grammar::DTDGrammarType ||
        !files.areLocal)
        return false;
    // Every file is watched, or the generation checks its files on every use.
    bool isWatched = true;
    for (const ModuleVersion& file : files.versions)
        isWatched = ModuleWatch::instance().watch(file.path) && isWatched;
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_isStale || m_grammars.size() >= kMostGrammars)
        return false;
    const XMLCh* key = grammar->getGrammarDescription()->getGrammarKey();
    if (!m_grammars.emplace(key, Kept{grammar, files}).second)
        return false;
    m_isWatched = m_isWatched && isWatched;
    return true;
}

bool DtdGrammarStore::filesAreUnchanged()
{
    std::vector<ModuleVersion> files;
    std::uint64_t checked = 0;
    bool isWatched = true;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_isStale)
            return false;
        for (const auto& kept : m_grammars)
            files.insert(files.end(), kept.second.files.versions.begin(),
                         kept.second.files.versions.end());
        checked = m_checkedEpoch;
        isWatched = m_isWatched;
    }
    if (files.empty())
        return true;
    // Taken before the checks: a change while they run moves the epoch past the one recorded.
    const std::uint64_t now = ModuleWatch::instance().epoch();
    if (isWatched && checked == now)
        return true;
    for (const ModuleVersion& file : files)
        if (FileVersion::of(file.path) != std::optional<FileVersion>(file.version))
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_isStale = true;
            return false;
        }
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_checkedEpoch = now;
    return true;
}

} // namespace prsm::detail
