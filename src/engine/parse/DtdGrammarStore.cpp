// The DTD grammars that every reader of the process reuses.
#include "engine/parse/DtdGrammarStore.hpp"

#include "engine/limits/OperationGuard.hpp"
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
    for (auto& entry : m_grammars)
        delete entry.second.grammar;
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

xercesc::Grammar* DtdGrammarStore::findOrLoad(const XMLCh* key, FunctionRef<void()> load)
{
    if (key == nullptr)
        return nullptr;
    const std::basic_string<XMLCh> name(key);
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_loading.count(name) != 0)
        {
            const auto isLoaded = [&] { return m_loading.count(name) == 0; };
            if (!waitWithinOperation(m_loaded, lock, isLoaded))
                return nullptr; // the document reads its DTD itself, under its own bound
            return kept(name);
        }
        if (m_tried.count(name) != 0)
            return kept(name);
        // A DTD that one document alone names is not worth its memory for the rest of the
        // process (DocBook's is 2 MB): the first document reads it itself, the second keeps it.
        if (m_seenOnce.insert(name).second)
        {
            if (m_seenOnce.size() > kMostSeen)
                m_seenOnce = {name};
            return nullptr;
        }
        m_tried.insert(name);
        m_loading.insert(name);
    }
    // The others waiting look again however the load ends.
    struct Loading
    {
        DtdGrammarStore& store;
        const std::basic_string<XMLCh>& name;
        ~Loading()
        {
            {
                const std::lock_guard<std::mutex> lock(store.m_mutex);
                store.m_loading.erase(name);
            }
            store.m_loaded.notify_all();
        }
    } loading{*this, name};
    load();
    const std::lock_guard<std::mutex> lock(m_mutex);
    return kept(name);
}

xercesc::Grammar* DtdGrammarStore::find(const XMLCh* key)
{
    if (key == nullptr)
        return nullptr;
    const std::lock_guard<std::mutex> lock(m_mutex);
    return kept(key);
}

xercesc::Grammar* DtdGrammarStore::kept(const std::basic_string<XMLCh>& key) const
{
    const auto found = m_grammars.find(key);
    return found != m_grammars.end() ? found->second.grammar : nullptr;
}

bool DtdGrammarStore::adopt(xercesc::Grammar* grammar, const StylesheetModules& files,
                            const XMLCh* key)
{
    if (grammar == nullptr || grammar->getGrammarType() != xercesc::Grammar::DTDGrammarType ||
        !files.isCheckable)
        return false;
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_isStale || m_grammars.size() >= kMostGrammars)
        return false;
    if (key == nullptr)
        key = grammar->getGrammarDescription()->getGrammarKey();
    if (!m_grammars.emplace(key, Kept{grammar, files}).second)
        return false;
    // Every file is watched, or the generation checks its files on every use.
    m_isWatched = m_isWatched && files.isWatched;
    return true;
}

bool DtdGrammarStore::filesAreUnchanged()
{
    std::vector<StylesheetModules> files;
    std::uint64_t checked = 0;
    bool isWatched = true;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_isStale)
            return false;
        for (const auto& entry : m_grammars)
            files.push_back(entry.second.files);
        checked = m_checkedEpoch;
        isWatched = m_isWatched;
    }
    if (files.empty())
        return true;
    // Taken before the checks: a change while they run moves the epoch past the one recorded.
    const std::uint64_t now = ModuleWatch::instance().epoch();
    if (isWatched && checked == now)
        return true;
    for (const StylesheetModules& grammarFiles : files)
        if (!grammarFiles.areUnchanged())
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
