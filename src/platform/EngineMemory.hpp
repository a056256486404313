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

// The memory a compiled stylesheet's expressions are made in: the C library's own allocator
// (glibc's, also where the program has replaced malloc, as the tool does with mimalloc, whose
// realloc moves a block it shortens), so that what the engine reserves in each for parsing can
// be given back in place. Blocks made here are given back here only. Lives as engineMemory().
xalanc::MemoryManager& expressionMemory();

// The largest block shrinkExpressionBlock shortens.
inline constexpr std::size_t kShrinkableBlock = 4096;

// Gives the tail of a block of expressionMemory() back from `size` bytes on, the block staying
// where it is, for an owner that has reserved more than it will ever use and cannot say so
// itself. False, and the block untouched, where the allocator cannot shorten a block in place (or
// the block is kShrinkableBlock bytes or more).
bool shrinkExpressionBlock(void* block, std::size_t size);

} // namespace prsm::detail
