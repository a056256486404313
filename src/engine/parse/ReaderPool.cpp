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
    // A DTD file changed: its grammar may sit in the idle reader too, so both go.
    if (m_grammars && !m_grammars->isCurrent())
    {
        m_idle.reset();
        m_grammars.reset();
    }
    return std::move(m_idle);
}

void ReaderPool::give(std::unique_ptr<SourceReader> reader) noexcept
{
    // The readers that share an outgrown cache go with it; one still parsing keeps it alive.
    if (m_grammars && m_grammars->isOutgrown())
    {
        m_idle.reset();
        m_grammars.reset();
        return;
    }
    if (!m_idle && reader && reader->mayServeAgain())
        m_idle = std::move(reader);
}

std::shared_ptr<DtdGrammarCache> ReaderPool::grammars(xercesc::MemoryManager& manager)
{
    if (!m_grammars || m_grammars->getMemoryManager() != &manager)
        m_grammars = std::make_shared<DtdGrammarCache>(manager);
    return m_grammars;
}

void ReaderPool::clear() noexcept
{
    m_idle.reset();
    m_grammars.reset();
}

} // namespace prsm::detail
