// The source reader of the last finished parse, kept for the next one.
#include "engine/parse/IdleReader.hpp"

#include "engine/parse/SourceReader.hpp"

namespace prsm::detail
{

IdleReader::IdleReader() = default;

IdleReader::~IdleReader() = default;

std::unique_ptr<SourceReader> IdleReader::take() noexcept
{
    return std::move(m_idle);
}

void IdleReader::give(std::unique_ptr<SourceReader> reader) noexcept
{
    if (!m_idle && reader && reader->mayServeAgain())
        m_idle = std::move(reader);
}

void IdleReader::clear() noexcept
{
    m_idle.reset();
}

} // namespace prsm::detail
