// The source reader of the last finished parse, kept for the next one.
#pragma once

#include <xercesc/framework/MemoryManager.hpp>

#include <cstddef>
#include <memory>

namespace prsm::detail
{

class DtdGrammarCache;
class SourceReader;

// Keeps one idle reader of source documents: making a reader costs more than reading a small
// document. A reader that failed is never kept, nor one that has read so much that what it
// remembers across parses (the namespace names it has met) could grow without bound. Belongs to
// one transformer and serves one thread at a time; emptied before the engine stops.
class ReaderPool
{
public:
    ReaderPool();
    ReaderPool(const ReaderPool&) = delete;
    ReaderPool& operator=(const ReaderPool&) = delete;
    ~ReaderPool();

    // The idle reader, or null when there is none.
    std::unique_ptr<SourceReader> take() noexcept;

    // Keeps `reader` for the next parse when it may serve again and no other is kept.
    void give(std::unique_ptr<SourceReader> reader) noexcept;

    // The grammar pool of a new reader, on the DTD grammars that every reader of the process
    // shares, in `manager`.
    static std::shared_ptr<DtdGrammarCache> grammars(xercesc::MemoryManager& manager);

    void clear() noexcept;

private:
    std::unique_ptr<SourceReader> m_idle;
};

} // namespace prsm::detail
