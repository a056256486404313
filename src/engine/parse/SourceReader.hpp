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
                           public GuardedParser<xercesc::SAX2XMLReaderImpl>,
                           private DtdLoader
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

    // Forgets the handlers and limits of the parse that has ended, which read `bytes`.
    void release(std::uint64_t bytes) noexcept;

    void doctypeDecl(const xercesc::DTDElementDecl& elemDecl, const XMLCh* const publicId,
                     const XMLCh* const systemId, const bool hasIntSubset,
                     const bool hasExtSubset) override;
    // Without validation, each element's content model goes as soon as it is read:
    // DTDScanner::scanContentSpec (validators/DTD/DTDScanner.cpp) builds a tree of nodes with a
    // copied name for every particle, which only validation reads (DocBook's DTD: some 15 MB, three
    // quarters of its grammar); the parser still tells mixed from element content by the model
    // type, which stays.
    void elementDecl(const xercesc::DTDElementDecl& decl, const bool isIgnored) override;

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

    // A document without an internal subset that names an external one may have it kept, unless
    // it validates (a kept grammar has no content models) or the host hears of every catalog
    // resolution (it would not hear of the DTD's modules again).
    bool mayLoadDtd() const override;
    // Reads the DTD with a reader of its own (this one is inside the document), under the budget,
    // resolver and security manager of the parse. A DTD that fails to read is not kept and fails
    // nothing: the parse then reads it itself, and reports what is wrong with it.
    void loadDtd(const XMLCh* systemId) override;

    xercesc::MemoryManager& m_manager;
    std::uint64_t m_bytesRead = 0;
    bool m_validates = false;
    bool m_hasFailed = false;
    ParseBudget* m_budget = nullptr;
    // Whether the document type declaration of the parse running names a DTD that may be kept,
    // and how: its identifiers and the document's own system id, which relative ones resolve
    // against.
    bool m_isDtdCacheable = false;
    std::basic_string<XMLCh> m_dtdId;
    std::basic_string<XMLCh> m_dtdPublicId;
    std::basic_string<XMLCh> m_documentId;
};

} // namespace prsm::detail
