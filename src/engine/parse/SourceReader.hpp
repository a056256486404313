// The reader of source documents, which may serve many parses one after the other.
#pragma once

#include "engine/parse/BudgetedMemory.hpp"
#include "engine/parse/GuardedParser.hpp"

#include <xercesc/parsers/SAX2XMLReaderImpl.hpp>

#include <cstdint>

namespace prsm::detail
{

// A namespace-aware reader configured as the engine configures its own for its source tree.
// Between parses it holds no handler, resolver, budget or security manager of any parse.
// Made before the reader, which allocates from it.
struct SourceReaderMemory
{
    explicit SourceReaderMemory(xercesc::MemoryManager& manager) : m_memory(manager) {}
    BudgetedMemory m_memory;
};

class SourceReader final : private SourceReaderMemory,
                           public GuardedParser<xercesc::SAX2XMLReaderImpl>
{
public:
    explicit SourceReader(xercesc::MemoryManager& manager);

    // The budget of the parse about to start, for the parser's events and its large blocks.
    void setBudget(ParseBudget* budget)
    {
        m_memory.setBudget(budget);
        GuardedParser<xercesc::SAX2XMLReaderImpl>::setBudget(budget);
    }

    xercesc::MemoryManager& memoryManager() const { return m_manager; }

    // Sets the validation of the next parse; the engine validates only when asked to.
    void setValidation(bool validate);

    // Forgets the handlers and limits of the parse that has ended, which read `bytes`.
    void release(std::uint64_t bytes) noexcept;

    // Whether the reader may serve another parse: it remembers every namespace name it has met,
    // so it serves until it has read about a megabyte.
    bool mayServeAgain() const { return m_bytesRead < kBytesPerReader; }

private:
    static constexpr std::uint64_t kBytesPerReader = 1 << 20;

    xercesc::MemoryManager& m_manager;
    std::uint64_t m_bytesRead = 0;
    bool m_validates = false;
};

} // namespace prsm::detail
