// External DTD subsets parsed once and reused by the later parses that name them.
#pragma once

#include "engine/parse/DtdGrammarStore.hpp"

#include <xercesc/framework/XMLGrammarPoolImpl.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>

#include <memory>
#include <string>

namespace prsm::detail
{

// `name` taken against `base` as the parser takes a system id against its document's: as a URL
// where both are URLs, else as a path. Empty where a relative name has no base.
std::basic_string<XMLCh> absoluteSystemId(const XMLCh* base, const XMLCh* name,
                                          xercesc::MemoryManager& manager);

// What reads a DTD for keeping: the reader whose parse names it.
class DtdLoader
{
public:
    // Whether the parse running may read the DTD it names for keeping.
    virtual bool mayLoadDtd() const = 0;
    // Reads the DTD `systemId` (as the parse's resolver names it) into the store.
    virtual void loadDtd(const XMLCh* systemId) = 0;

protected:
    ~DtdLoader() = default;
};

// The grammar pool of one reader: the namespace names its parses meet are its own, while the
// DTD grammars it reads and keeps go to the process's DtdGrammarStore, where every reader finds
// them. Xerces-C looks a grammar up by the system id its entity resolver gives the external subset,
// and uses it only for documents without an internal subset (the readers ignore cached DTDs for
// those), so a document with declarations of its own is read as before. A DTD that is not kept
// yet is read for keeping right where the parse asks for it, by the reader's DtdLoader, and the
// parse goes on with the kept grammar: every DTD is read once (a DTD the parse then read again
// would be read twice). A grammar is kept only after a complete, successful read of its DTD; a
// DTD whose files are not all local files is never kept. Serves one reader.
class DtdGrammarCache final : public xercesc::XMLGrammarPoolImpl
{
public:
    DtdGrammarCache(xercesc::MemoryManager& manager, std::shared_ptr<DtdGrammarStore> store);

    // The reader that reads DTDs for keeping, or null for none.
    void setLoader(DtdLoader* loader) { m_loader = loader; }

    const std::shared_ptr<DtdGrammarStore>& store() const { return m_store; }

    // Runs `read` (which loads the DTD through the reader) with the entity resolver `inner`
    // recording every file the DTD reads, so that the grammar it caches is kept with their
    // versions.
    template <class Read>
    void readRecorded(xercesc::XMLEntityResolver* inner, Read read)
    {
        Recording recording(*this, inner);
        read(static_cast<xercesc::XMLEntityResolver*>(&recording));
    }

    // Whether the grammars this reader may have taken are still those of the store new readers
    // use. A reader remembers each grammar it took for as long as it lives, so a reader of an
    // older generation is dropped rather than mended.
    bool isCurrent() const { return m_store->isCurrent(); }

    bool cacheGrammar(xercesc::Grammar* const grammar) override;
    xercesc::Grammar* retrieveGrammar(xercesc::XMLGrammarDescription* const description) override;

private:
    // Hands each resolution on to the parse's own resolver, and notes what was read.
    class Recording final : public xercesc::XMLEntityResolver
    {
    public:
        Recording(DtdGrammarCache& cache, xercesc::XMLEntityResolver* inner);
        Recording(const Recording&) = delete;
        Recording& operator=(const Recording&) = delete;
        ~Recording() override;
        xercesc::InputSource* resolveEntity(xercesc::XMLResourceIdentifier* identifier) override;

    private:
        DtdGrammarCache& m_cache;
        xercesc::XMLEntityResolver* m_inner;
        StylesheetModules m_files;
    };

    std::shared_ptr<DtdGrammarStore> m_store;
    DtdLoader* m_loader = nullptr;
    StylesheetModules* m_recording = nullptr;
    // The key the DTD being loaded was asked for by.
    std::basic_string<XMLCh> m_loadingKey;
};

} // namespace prsm::detail
