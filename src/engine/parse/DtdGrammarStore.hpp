// The DTD grammars that every reader of the process reuses.
#pragma once

#include "engine/stylesheets/StylesheetCache.hpp"
#include "platform/FunctionRef.hpp"

#include <xercesc/framework/MemoryManager.hpp>
#include <xercesc/validators/common/Grammar.hpp>

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace prsm::detail
{

// One generation of kept grammars, immutable once kept: readers on any thread read them at once,
// as Xerces-C allows for grammars it takes from a pool (what a parse learns about a document
// stays in the parser). A generation lives as long as a reader that may have taken one of its
// grammars; when one of its files changes, the next parse begins a new generation, and the readers
// of the old one are dropped as they come back (a reader remembers the grammars it took). Every
// member is safe to call from any thread.
class DtdGrammarStore
{
public:
    explicit DtdGrammarStore(xercesc::MemoryManager& manager) : m_manager(manager) {}
    DtdGrammarStore(const DtdGrammarStore&) = delete;
    DtdGrammarStore& operator=(const DtdGrammarStore&) = delete;
    ~DtdGrammarStore();

    // The generation that new readers use, with grammars in `manager`: a new one when there is
    // none yet, when the last was made with another manager, or when one of its files changed.
    static std::shared_ptr<DtdGrammarStore> current(xercesc::MemoryManager& manager);

    // Whether this generation is the one new readers use and its files are unchanged.
    bool isCurrent();

    // Forgets the current generation; readers that hold it keep it until they go. For the stop
    // of the engine, after every reader has gone.
    static void clear();

    // The kept grammar whose key (the system id of the DTD) is `key`, or null.
    xercesc::Grammar* find(const XMLCh* key);

    // The kept grammar of `key`; where there is none yet, the one `load` reads and hands to
    // adopt(), once per generation and from the second document that names the DTD on: a reader
    // that asks while another loads the same DTD waits for it (at most for the time its
    // operation has left). Null for the first document, where the DTD was tried before and not
    // kept, or where `load` kept nothing.
    xercesc::Grammar* findOrLoad(const XMLCh* key, FunctionRef<void()> load);

    // Takes `grammar` over with the files it was read from, under `key` (the grammar's own key
    // where null). Refuses (and leaves the grammar with the caller) a grammar of another kind, one
    // read from what is not a local file, one whose key is kept already, and any while the
    // generation is full.
    bool adopt(xercesc::Grammar* grammar, const StylesheetModules& files,
               const XMLCh* key = nullptr);

    xercesc::MemoryManager& memoryManager() const { return m_manager; }

private:
    static constexpr std::size_t kMostGrammars = 16;
    static constexpr std::size_t kMostSeen = 256;

    struct Kept
    {
        xercesc::Grammar* grammar;
        StylesheetModules files;
    };

    bool filesAreUnchanged();

    // The kept grammar of `key`, or null; the caller holds m_mutex.
    xercesc::Grammar* kept(const std::basic_string<XMLCh>& key) const;

    xercesc::MemoryManager& m_manager;
    std::mutex m_mutex;
    std::map<std::basic_string<XMLCh>, Kept> m_grammars; // by key
    std::set<std::basic_string<XMLCh>> m_tried;          // keys loaded or being loaded
    std::set<std::basic_string<XMLCh>> m_loading;        // keys being loaded now
    std::set<std::basic_string<XMLCh>> m_seenOnce;       // keys one document has named so far
    std::condition_variable m_loaded;
    // The ModuleWatch epoch at which the files were last found unchanged.
    std::uint64_t m_checkedEpoch = ~std::uint64_t(0);
    bool m_isWatched = true; // every file of every grammar
    bool m_isStale = false;
};

} // namespace prsm::detail
