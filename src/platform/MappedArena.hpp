// Memory for what one thread builds, uses for a while and drops as a whole.
#pragma once

#include <cstddef>
#include <new>

namespace prsm::detail
{

// Takes its memory from the system in blocks of its own and gives every block back at once. A
// thread's heap keeps what it freed resident for the life of the process wherever other blocks
// stay around it: a table that only a compilation uses would otherwise stay in the peak of every
// transformation after it. Nothing is freed before release().
class MappedArena
{
public:
    MappedArena() = default;
    MappedArena(const MappedArena&) = delete;
    MappedArena& operator=(const MappedArena&) = delete;
    ~MappedArena() { release(); }

    // `bytes` aligned to `alignment` (at most a page); throws std::bad_alloc when the system
    // has no more.
    void* allocate(std::size_t bytes, std::size_t alignment);

    // Gives every block back: what was allocated is gone.
    void release();

private:
    struct Block; // a header at the start of each block, linking to the one before
    Block* m_last = nullptr;
    char* m_next = nullptr;
    char* m_end = nullptr;
};

// A standard allocator over an arena; deallocating does nothing.
template <class T>
struct ArenaAllocator
{
    using value_type = T;

    explicit ArenaAllocator(MappedArena& from) : arena(&from) {}
    template <class U>
    ArenaAllocator(const ArenaAllocator<U>& other) : arena(other.arena)
    {
    }

    T* allocate(std::size_t count)
    {
        return static_cast<T*>(arena->allocate(count * sizeof(T), alignof(T)));
    }
    void deallocate(T*, std::size_t) {}

    template <class U>
    bool operator==(const ArenaAllocator<U>& other) const
    {
        return arena == other.arena;
    }
    template <class U>
    bool operator!=(const ArenaAllocator<U>& other) const
    {
        return arena != other.arena;
    }

    MappedArena* arena;
};

} // namespace prsm::detail
