// The arena hands out aligned, separate memory, in blocks of its own as requests outgrow them,
// and after release() starts again.
#include "platform/MappedArena.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace
{

using prsm::detail::ArenaAllocator;
using prsm::detail::MappedArena;

TEST(MappedArena, GivesAlignedSeparateMemoryAcrossBlocks)
{
    const struct
    {
        std::size_t bytes;
        std::size_t alignment;
    } requests[] = {{1, 1}, {3, 2}, {24, 8}, {100, 16}, {4096, 64}, {1 << 20, 8}, {7, 4}};
    MappedArena arena;
    for (int round = 0; round < 2; ++round)
    {
        std::vector<std::pair<unsigned char*, std::size_t>> given;
        for (int repeat = 0; repeat < 40; ++repeat)
            for (const auto& request : requests)
            {
                auto* at =
                    static_cast<unsigned char*>(arena.allocate(request.bytes, request.alignment));
                EXPECT_EQ(reinterpret_cast<std::uintptr_t>(at) % request.alignment, 0u);
                std::memset(at, static_cast<int>(given.size() & 0xff), request.bytes);
                given.emplace_back(at, request.bytes);
            }
        // Nothing written later overlapped what was given earlier.
        for (std::size_t i = 0; i < given.size(); ++i)
            for (std::size_t j = 0; j < given[i].second; j += 997)
                ASSERT_EQ(given[i].first[j], static_cast<unsigned char>(i & 0xff));
        arena.release();
    }
}

TEST(MappedArena, BacksAStandardContainer)
{
    MappedArena arena;
    using Allocator = ArenaAllocator<std::pair<const int, int>>;
    std::unordered_map<int, int, std::hash<int>, std::equal_to<>, Allocator> table(
        0, std::hash<int>(), std::equal_to<>(), Allocator(arena));
    for (int i = 0; i < 20000; ++i)
        table.emplace(i, i * 3);
    for (int i = 0; i < 20000; i += 7)
        ASSERT_EQ(table.at(i), i * 3);
}

} // namespace
