// The source reader of the last finished parse, kept for the next one.
#pragma once

#include <cstddef>
#include <memory>

namespace prsm::detail
{

class SourceReader;

// Keeps one idle reader of source documents: making a reader costs more than reading a small
// document. A reader that failed is never kept, nor one that has read so much that what it
// remembers across parses (the namespace names it has met) could grow without bound. Belongs to
// one transformer and serves one thread at a time; emptied before the engine stops.
class IdleReader
{
public:
    IdleReader();
    IdleReader(const IdleReader&) = delete;
    IdleReader& operator=(const IdleReader&) = delete;
    ~IdleReader();

    // The idle reader, or null when there is none.
    std::unique_ptr<SourceReader> take() noexcept;

    // Keeps `reader` for the next parse when it may serve again and no other is kept.
    void give(std::unique_ptr<SourceReader> reader) noexcept;

    void clear() noexcept;

private:
    std::unique_ptr<SourceReader> m_idle;
};

} // namespace prsm::detail
