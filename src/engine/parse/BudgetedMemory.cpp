// The parser's memory, which tells the budget of the parse about every large block first.
#include "engine/parse/BudgetedMemory.hpp"

#include "engine/limits/ParseBudget.hpp"

namespace prsm::detail
{
namespace
{

// Smaller blocks are the parser's own bookkeeping, which follows the input. The largest of them,
// a reader of an entity (some 160 KB), is made where the parser cannot take an exception without
// leaking what it made just before; value buffers this large are only ever grown.
constexpr XMLSize_t kLargeBlock = 1024 * 1024;

} // namespace

void* BudgetedMemory::allocate(XMLSize_t size)
{
    if (m_budget != nullptr && size >= kLargeBlock)
        m_budget->claimBlock(size);
    return m_manager.allocate(size);
}

} // namespace prsm::detail
