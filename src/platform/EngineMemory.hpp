// The memory every engine object of the library is made in.
#pragma once

#include <xalanc/Include/PlatformDefinitions.hpp>
#include <xalanc/Include/XalanMemoryManagement.hpp>

namespace prsm::detail
{

// The memory every engine object of the library is made in and given back to. Lives from its
// first use to the end of the process, across stops and restarts of the engine.
xalanc::MemoryManager& engineMemory();

} // namespace prsm::detail
