// The source reader of the last finished parse, kept for the next one.
#include "engine/parse/ReaderPool.hpp"

#include "engine/parse/SourceReader.hpp"

namespace prsm::detail
{

ReaderPool::ReaderPool() = default;

ReaderPool::~ReaderPool() = default;

std::unique_ptr<SourceReader> ReaderPool::take() noexcept
{
    return std::move(m_idle);
}

void ReaderPool::give(std::unique_ptr<SourceReader> reader) noexcept
{
    if (!m_idle && reader && reader->mayServeAgain())
        m_idle = std::move(reader);
}

void ReaderPool::clear() noexcept
{
    m_idle.reset();
}

} // namespace prsm::detail
