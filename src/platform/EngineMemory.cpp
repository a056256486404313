// The memory every engine object of the library is made in.
#include "platform/EngineMemory.hpp"

#include <xercesc/util/OutOfMemoryException.hpp>

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__) && !defined(PRSM_SANITIZED_BUILD)
#include <dlfcn.h>
#define PRSM_LIBC_HEAP 1
#endif

namespace prsm::detail
{
namespace
{

// One of the C library's allocators.
struct Heap
{
    void* (*allocate)(std::size_t);
    void* (*reallocate)(void*, std::size_t);
    void (*release)(void*);
};

// The engine's default manager, on malloc rather than operator new, so that a block can be
// shortened in place (shrinkExpressionBlock) whatever operator new the host has.
class MallocMemory final : public xalanc::MemoryManager
{
public:
    explicit MallocMemory(const Heap& heap) : m_heap(heap) {}

    void* allocate(XMLSize_t size) override
    {
        // The parser's out-of-memory exception, which the parser knows how to unwind.
        if (void* block = m_heap.allocate(size == 0 ? 1 : size))
            return block;
        throw xercesc::OutOfMemoryException();
    }
    void deallocate(void* block) override { m_heap.release(block); }
    xalanc::MemoryManager* getExceptionMemoryManager() override { return this; }

    const Heap& heap() const { return m_heap; }

private:
    const Heap m_heap;
};

// The heap's realloc, hidden from the compiler, which otherwise takes every block it returns for
// a new one and so every comparison with the old address for a mismatch.
void* reallocate(const Heap& heap, void* block, std::size_t size)
{
    void* (*volatile call)(void*, std::size_t) = heap.reallocate;
    return call(block, size);
}

// Whether the heap's realloc leaves a shortened block where it is, for every size
// shrinkExpressionBlock is asked for: glibc's does for blocks it did not map on their own;
// checked rather than assumed, since sanitizers move the block.
bool isShrinkInPlace(const Heap& heap)
{
#if defined(__GLIBC__) && !defined(PRSM_SANITIZED_BUILD)
    for (std::size_t size = 16; size < kShrinkableBlock; size += 16)
    {
        void* block = heap.allocate(kShrinkableBlock);
        if (block == nullptr)
            return false;
        const auto address = reinterpret_cast<std::uintptr_t>(block);
        void* shortened = reallocate(heap, block, size);
        const bool isMoved = reinterpret_cast<std::uintptr_t>(shortened) != address;
        heap.release(shortened);
        if (isMoved)
            return false;
    }
    return true;
#else
    static_cast<void>(heap);
    return false;
#endif
}

void* mallocBlock(std::size_t size)
{
    return std::malloc(size);
}
void* reallocBlock(void* block, std::size_t size)
{
    return std::realloc(block, size);
}
void freeBlock(void* block)
{
    std::free(block);
}

// glibc's own allocator, which a program that replaces malloc (as the tool does with mimalloc,
// under every name glibc exports it by, __libc_malloc included) still has in the C library:
// looked up in libc.so.6 itself rather than in the program's global scope. malloc's where it is
// not found.
Heap cLibraryHeap()
{
    const Heap standard{&mallocBlock, &reallocBlock, &freeBlock};
#if defined(PRSM_LIBC_HEAP)
    void* library = dlopen("libc.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (library == nullptr)
        return standard;
    Heap heap{reinterpret_cast<void* (*)(std::size_t)>(dlsym(library, "malloc")),
              reinterpret_cast<void* (*)(void*, std::size_t)>(dlsym(library, "realloc")),
              reinterpret_cast<void (*)(void*)>(dlsym(library, "free"))};
    // The library stays loaded as long as the process: the handle is not closed.
    if (heap.allocate == nullptr || heap.reallocate == nullptr || heap.release == nullptr)
        return standard;
    // glibc sets its allocator up on its first call, on the assumption that nothing runs beside
    // it yet. Where malloc is replaced, that first call can come from two threads at once, each
    // taking the main arena without counting itself, and the second to exit aborts the process
    // ("a->attached_threads > 0"). Made here, once, in the thread that loads the library.
    heap.release(heap.allocate(1));
    return heap;
#else
    return standard;
#endif
}

MallocMemory& expressionManager()
{
    static MallocMemory& manager = *new MallocMemory(cLibraryHeap());
    return manager;
}

// Sets the expression heap up when the library is loaded, before any thread of the host's uses it.
[[maybe_unused]] const bool kExpressionHeapReady = (expressionManager(), true);

} // namespace

xalanc::MemoryManager& engineMemory()
{
    // The parser's own manager goes when the parser stops; this one never goes, so a handle or
    // a transformer that the host destroys after the last stop still frees into a live manager.
    static MallocMemory& manager = *new MallocMemory(Heap{&mallocBlock, &reallocBlock, &freeBlock});
    return manager;
}

xalanc::MemoryManager& expressionMemory()
{
    return expressionManager();
}

bool shrinkExpressionBlock(void* block, std::size_t size)
{
    const Heap& heap = expressionManager().heap();
    static const bool isInPlace = isShrinkInPlace(heap);
    if (!isInPlace || block == nullptr || size == 0 || size >= kShrinkableBlock)
        return false;
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    if (reinterpret_cast<std::uintptr_t>(reallocate(heap, block, size)) != address)
        std::abort(); // the block has moved under its owner: nothing sound is left to do
    return true;
}

} // namespace prsm::detail
