// The memory every engine object of the library is made in.
#include "platform/EngineMemory.hpp"

#include <xercesc/util/OutOfMemoryException.hpp>

#include <cstdint>
#include <cstdlib>

namespace prsm::detail
{
namespace
{

// The engine's default manager, on malloc rather than operator new, so that a block can be
// shortened in place (shrinkEngineBlock) whatever operator new the host has.
class MallocMemory final : public xalanc::MemoryManager
{
public:
    void* allocate(XMLSize_t size) override
    {
        // The parser's out-of-memory exception, which the parser knows how to unwind.
        if (void* block = std::malloc(size == 0 ? 1 : size))
            return block;
        throw xercesc::OutOfMemoryException();
    }
    void deallocate(void* block) override { std::free(block); }
    xalanc::MemoryManager* getExceptionMemoryManager() override { return this; }
};

// realloc, hidden from the compiler, which otherwise takes every block it returns for a new one
// and so every comparison with the old address for a mismatch.
void* reallocate(void* block, std::size_t size)
{
    void* (*volatile call)(void*, std::size_t) = &std::realloc;
    return call(block, size);
}

// Whether realloc leaves a shortened block where it is, for every size shrinkEngineBlock is asked
// for: glibc's does for blocks it did not map on their own; checked rather than assumed, since
// sanitizers and other allocators a host may preload move the block.
bool isShrinkInPlace()
{
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    for (std::size_t size = 16; size < kShrinkableBlock; size += 16)
    {
        void* block = std::malloc(kShrinkableBlock);
        if (block == nullptr)
            return false;
        const auto address = reinterpret_cast<std::uintptr_t>(block);
        void* shortened = reallocate(block, size);
        const bool isMoved = reinterpret_cast<std::uintptr_t>(shortened) != address;
        std::free(shortened);
        if (isMoved)
            return false;
    }
    return true;
#else
    return false;
#endif
}

} // namespace

xalanc::MemoryManager& engineMemory()
{
    // The parser's own manager goes when the parser stops; this one never goes, so a handle or
    // a transformer that the host destroys after the last stop still frees into a live manager.
    static MallocMemory& manager = *new MallocMemory;
    return manager;
}

bool shrinkEngineBlock(void* block, std::size_t size)
{
    static const bool isInPlace = isShrinkInPlace();
    if (!isInPlace || block == nullptr || size == 0 || size >= kShrinkableBlock)
        return false;
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    if (reinterpret_cast<std::uintptr_t>(reallocate(block, size)) != address)
        std::abort(); // the block has moved under its owner: nothing sound is left to do
    return true;
}

} // namespace prsm::detail
