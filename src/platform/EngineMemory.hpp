// The memory every engine object of the library is made in.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/Include/XalanMemoryManagement.hpp>

#include <cstddef>

namespace prsm::detail
{

// The memory every engine object of the library is made in and given back to. Lives from its
// first use to the end of the process, across stops and restarts of the engine.
xalanc::MemoryManager& engineMemory();

// The largest block shrinkEngineBlock shortens.
inline constexpr std::size_t kShrinkableBlock = 4096;

// Gives the tail of a block of engineMemory() back from `size` bytes on, the block staying where
// it is, for an owner that has reserved more than it will ever use and cannot say so itself.
// False, and the block untouched, where the allocator cannot shorten a block in place (or the
// block is kShrinkableBlock bytes or more).
bool shrinkEngineBlock(void* block, std::size_t size);

} // namespace prsm::detail
