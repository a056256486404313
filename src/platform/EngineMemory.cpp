// The memory every engine object of the library is made in.
#include "platform/EngineMemory.hpp"

#include <xalanc/PlatformSupport/XalanMemoryManagerDefault.hpp>

namespace prsm::detail
{

xalanc::MemoryManager& engineMemory()
{
    // The parser's own manager goes when the parser stops; this one never goes, so a handle or
    // a transformer that the host destroys after the last stop still frees into a live manager.
    // It throws the parser's out-of-memory exception, which the parser knows how to unwind.
    static xalanc::XalanMemoryManagerDefault& manager = *new xalanc::XalanMemoryManagerDefault;
    return manager;
}

} // namespace prsm::detail
