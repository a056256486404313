// The source reader of the last finished parse, kept for the next one.
#include "engine/parse/ReaderPool.hpp"

#include "engine/parse/DtdGrammarCache.hpp"
#include "engine/parse/SourceReader.hpp"

namespace prsm::detail
{

ReaderPool::ReaderPool() = default;

ReaderPool::~ReaderPool() = default;

std::unique_ptr<SourceReader> ReaderPool::take() noexcept
{
    // A DTD file changed: a grammar the idle reader took may be out of date.
    if (m_idle && !m_idle->hasCurrentGrammars())
        m_idle.reset();
    return std::move(m_idle);
}

void ReaderPool::give(std::unique_ptr<SourceReader> reader) noexcept
{
    if (!m_idle && reader && reader->mayServeAgain())
        m_idle = std::move(reader);
}

std::shared_ptr<DtdGrammarCache> ReaderPool::grammars(xercesc::MemoryManager& manager)
{
    return std::make_shared<DtdGrammarCache>(manager, DtdGrammarStore::current(manager));
}

void ReaderPool::clear() noexcept
{
    m_idle.reset();
}

} // namespace prsm::detail
