// The reader of source documents, which may serve many parses one after the other.
#pragma once

#include "engine/parse/BudgetedMemory.hpp"
#include "engine/parse/DtdGrammarCache.hpp"
#include "engine/parse/GuardedParser.hpp"

#include <xercesc/parsers/SAX2XMLReaderImpl.hpp>

#include <cstdint>
#include <memory>

namespace prsm::detail
{

// Holds the grammar cache of a reader for as long as the reader's parser exists: a base class
// of the reader, so that it is destroyed after the parser that uses it.
struct GrammarCacheHold
{
    std::shared_ptr<DtdGrammarCache> m_grammars;
};

// A namespace-aware reader configured as the engine configures its own for its source tree.
// Between parses it holds no handler, resolver, budget or security manager of any parse.
// Made before the reader, which allocates from it.
struct SourceReaderMemory
{
    explicit SourceReaderMemory(xercesc::MemoryManager& manager) : m_memory(manager) {}
    BudgetedMemory m_memory;
};

// The grammars live in the cache's own memory, never the reader's: they outlive the reader.
class SourceReader final : private SourceReaderMemory,
                           private GrammarCacheHold,
                           public GuardedParser<xercesc::SAX2XMLReaderImpl>
{
public:
    // A reader that reuses the DTD grammars of `grammars` (none when null).
    SourceReader(xercesc::MemoryManager& manager, std::shared_ptr<DtdGrammarCache> grammars);

    // The budget of the parse about to start, for the parser's events and its large blocks.
    void setBudget(ParseBudget* budget)
    {
        m_budget = budget;
        m_memory.setBudget(budget);
        GuardedParser<xercesc::SAX2XMLReaderImpl>::setBudget(budget);
    }

    xercesc::MemoryManager& memoryManager() const { return m_manager; }

    // Sets the validation of the next parse; the engine validates only when asked to.
    void setValidation(bool validate);

    // After a successful parse of the document `documentId`, with its handlers still set: reads
    // the external DTD subset it named into the grammar cache, when the document has no internal
    // subset and the DTD was read for it rather than taken from the cache. A DTD that fails to
    // read is not kept and fails nothing; the reader then serves no further parse.
    void keepDtd(const XMLCh* documentId);

    // Forgets the handlers and limits of the parse that has ended, which read `bytes`.
    void release(std::uint64_t bytes) noexcept;

    void doctypeDecl(const xercesc::DTDElementDecl& elemDecl, const XMLCh* const publicId,
                     const XMLCh* const systemId, const bool hasIntSubset,
                     const bool hasExtSubset) override;
    // Declarations come only from a DTD that is read, never from a kept grammar. Without
    // validation, each element's content model goes as soon as it is read:
    // DTDScanner::scanContentSpec (validators/DTD/DTDScanner.cpp) builds a tree of nodes with a
    // copied name for every particle, which only validation reads (DocBook's DTD: some 15 MB, three
    // quarters of its grammar); the parser still tells mixed from element content by the model
    // type, which stays.
    void elementDecl(const xercesc::DTDElementDecl& decl, const bool isIgnored) override;
    void entityDecl(const xercesc::DTDEntityDecl& decl, const bool isPEDecl,
                    const bool isIgnored) override;
    void startAttList(const xercesc::DTDElementDecl& decl) override;

    // Whether every DTD grammar this reader may have taken is one new readers would take.
    bool hasCurrentGrammars() const
    {
        return !GrammarCacheHold::m_grammars || GrammarCacheHold::m_grammars->isCurrent();
    }

    // Whether the reader may serve another parse: it remembers every namespace name it has met,
    // so it serves until it has read about a megabyte.
    bool mayServeAgain() const { return m_bytesRead < kBytesPerReader && !m_hasFailed; }

private:
    static constexpr std::uint64_t kBytesPerReader = 1 << 20;

    xercesc::MemoryManager& m_manager;
    std::uint64_t m_bytesRead = 0;
    bool m_validates = false;
    bool m_hasFailed = false;
    // The document type declaration of the parse running, and whether it read declarations.
    ParseBudget* m_budget = nullptr;
    std::basic_string<XMLCh> m_dtdId;
    std::basic_string<XMLCh> m_dtdPublicId;
    bool m_isDtdCacheable = false;
    bool m_hasReadDeclarations = false;
};

} // namespace prsm::detail
