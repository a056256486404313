// The parser's memory, which tells the budget of the parse about every large block first.
#include "engine/parse/BudgetedMemory.hpp"

#include "engine/limits/ParseBudget.hpp"

namespace prsm::detail
{
namespace
{

// Smaller blocks are the parser's own bookkeeping, which follows the input.
constexpr XMLSize_t kLargeBlock = 64 * 1024;

} // namespace

void* BudgetedMemory::allocate(XMLSize_t size)
{
    if (m_budget != nullptr && size >= kLargeBlock)
        m_budget->claimBlock(size);
    return m_manager.allocate(size);
}

} // namespace prsm::detail
