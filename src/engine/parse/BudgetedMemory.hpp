// The parser's memory, which tells the budget of the parse about every large block first.
#pragma once

#include <xercesc/framework/MemoryManager.hpp>

namespace prsm::detail
{

class ParseBudget;

// Forwards to another manager. The parser expands entity references inside an attribute value
// without an event, building the whole value first; only the blocks it grows the value into
// show the expansion while it runs, so each large one is offered to the parse's budget, which
// may end the parse there.
class BudgetedMemory final : public xercesc::MemoryManager
{
public:
    explicit BudgetedMemory(xercesc::MemoryManager& manager) : m_manager(manager) {}

    // The budget of the parse now running, or null between parses.
    void setBudget(ParseBudget* budget) { m_budget = budget; }
    ParseBudget* budget() const { return m_budget; }

    xercesc::MemoryManager* getExceptionMemoryManager() override
    {
        return m_manager.getExceptionMemoryManager();
    }
    void* allocate(XMLSize_t size) override;
    void deallocate(void* p) override { m_manager.deallocate(p); }

private:
    xercesc::MemoryManager& m_manager;
    ParseBudget* m_budget = nullptr;
};

} // namespace prsm::detail
