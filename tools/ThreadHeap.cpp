// Room made ahead in the heap of a thread that is about to compile a large stylesheet.
#include "ThreadHeap.hpp"

#include <cstdlib>
#include <vector>

namespace prsm::cli
{

void reserveThreadHeap(std::size_t bytes)
{
#if defined(__GLIBC__) && defined(PRSM_TOOL_GLIBC_MALLOC)
    // Under the 128 KB from which the allocator maps a request of its own rather than take it
    // from the heap; each piece touches one page.
    constexpr std::size_t kPiece = 120 * 1024;
    std::vector<void*> pieces;
    pieces.reserve(bytes / kPiece);
    for (std::size_t taken = 0; taken < bytes; taken += kPiece)
    {
        void* piece = std::malloc(kPiece);
        if (piece == nullptr)
            break;
        pieces.push_back(piece);
    }
    // In the order taken, each piece joins the one before, and the whole returns to the top of
    // the heap once: one trim rather than one per piece.
    for (void* piece : pieces)
        std::free(piece);
#else
    static_cast<void>(bytes);
#endif
}

} // namespace prsm::cli
