// Memory for what one thread builds, uses for a while and drops as a whole.
#include "platform/MappedArena.hpp"

#include <algorithm>
#include <cstdint>
#include <sys/mman.h>

namespace prsm::detail
{

struct MappedArena::Block
{
    Block* previous;
    std::size_t size;
};

namespace
{

constexpr std::size_t kBlockSize = std::size_t{256} << 10;

} // namespace

void* MappedArena::allocate(std::size_t bytes, std::size_t alignment)
{
    const auto aligned = [alignment](char* at)
    {
        const auto address = reinterpret_cast<std::uintptr_t>(at);
        return reinterpret_cast<char*>((address + alignment - 1) & ~(alignment - 1));
    };
    char* at = m_next != nullptr ? aligned(m_next) : nullptr;
    if (at == nullptr || at + bytes > m_end)
    {
        const std::size_t size = std::max(kBlockSize, sizeof(Block) + alignment + bytes);
        void* mapped =
            ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED)
            throw std::bad_alloc();
        m_last = new (mapped) Block{m_last, size};
        m_next = static_cast<char*>(mapped) + sizeof(Block);
        m_end = static_cast<char*>(mapped) + size;
        at = aligned(m_next);
    }
    m_next = at + bytes;
    return at;
}

void MappedArena::release()
{
    while (m_last != nullptr)
    {
        Block* block = m_last;
        m_last = block->previous;
        ::munmap(block, block->size);
    }
    m_next = nullptr;
    m_end = nullptr;
}

} // namespace prsm::detail
