// External DTD subsets parsed once and reused by the later parses that name them.
#pragma once

#include "engine/stylesheets/StylesheetCache.hpp"

#include <xercesc/framework/XMLGrammarPoolImpl.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace prsm::detail
{

// `name` taken against `base` as the parser takes a system id against its document's: as a URL
// where both are URLs, else as a path. Empty where a relative name has no base.
std::basic_string<XMLCh> absoluteSystemId(const XMLCh* base, const XMLCh* name,
                                          xercesc::MemoryManager& manager);

// The DTD grammars of one transformer's readers, kept while every file they were read from is
// unchanged (ReaderPool checks before each parse). Xerces-C looks a grammar up by the system id its
// entity resolver gives the external subset, and uses it only for documents without an internal
// subset (the readers ignore cached DTDs for those), so a document with declarations of its own is
// read as before. A grammar is kept only after a complete, successful read of its DTD; a DTD whose
// files are not all local files is never kept. Bounded; serves one thread at a time.
class DtdGrammarCache final : public xercesc::XMLGrammarPoolImpl
{
public:
    explicit DtdGrammarCache(xercesc::MemoryManager& manager);

    // Whether the DTD that a document names by `systemId` should be read for keeping: not yet
    // tried, and the cache is not outgrown by what its readers have read.
    bool shouldTry(const std::string& systemId);

    // Runs `read` (which loads the DTD through the reader) with the entity resolver `inner`
    // recording every file the DTD reads, so that the grammar it caches is kept with their
    // versions.
    template <class Read>
    void readRecorded(xercesc::XMLEntityResolver* inner, Read read)
    {
        Recording recording(*this, inner);
        read(static_cast<xercesc::XMLEntityResolver*>(&recording));
    }

    // Adds `bytes` to what the readers of this cache have read: their namespace names pile up in
    // the cache's name pool, so a cache that has served a lot is dropped and begun again.
    void countRead(std::uint64_t bytes) { m_bytesRead += bytes; }
    bool isOutgrown() const { return m_bytesRead > kBytesPerCache; }

    // Whether every file of every kept grammar is as it was read. A reader remembers each
    // grammar it took from the cache for as long as it lives, so a cache with a changed file is
    // dropped whole, with its readers, rather than mended.
    bool isCurrent() const;

    bool cacheGrammar(xercesc::Grammar* const grammar) override;

private:
    static constexpr std::size_t kMostGrammars = 16;
    static constexpr std::uint64_t kBytesPerCache = std::uint64_t{64} << 20;

    // The files a DTD was read from, as they were.
    struct Files
    {
        std::vector<ModuleVersion> versions;
        bool areLocal = true;
    };

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
        Files m_files;
    };

    Files* m_recording = nullptr;
    std::map<std::string, Files> m_files; // by the grammar's system id
    std::set<std::string> m_tried;
    std::uint64_t m_bytesRead = 0;
};

} // namespace prsm::detail
