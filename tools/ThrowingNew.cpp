// Operator new that throws when memory runs out, for the tool linked with mimalloc.
//
// mimalloc's operator new is built as C and aborts the process when an allocation fails, where
// the standard's throws std::bad_alloc; the engine turns that exception into its own and the
// library into a status, so a run out of memory ends with its exit status and one line instead of
// SIGABRT. These take memory from malloc, which mimalloc provides, so its operator delete frees
// it. Linked only with mimalloc: with another allocator (a sanitizer's) malloc and delete would
// not pair.
#include <cstdlib>
#include <new>

namespace
{

void* allocate(std::size_t size)
{
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

void* allocateAligned(std::size_t size, std::align_val_t alignment)
{
    void* memory = nullptr;
    if (posix_memalign(&memory, static_cast<std::size_t>(alignment), size == 0 ? 1 : size) != 0)
        throw std::bad_alloc();
    return memory;
}

} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}

void* operator new[](std::size_t size)
{
    return allocate(size);
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return allocateAligned(size, alignment);
}
