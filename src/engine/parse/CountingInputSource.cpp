// An input source that tells a parse budget how many bytes the parser reads from it.
#include "engine/parse/CountingInputSource.hpp"

#include "engine/limits/ParseBudget.hpp"
#include "platform/EngineMemory.hpp"

#include <xercesc/util/BinInputStream.hpp>

#include <memory>

namespace prsm::detail
{
namespace
{

// The parser deletes the stream it is given, and this one deletes the stream it reads through.
class CountingStream final : public xercesc::BinInputStream
{
public:
    CountingStream(std::unique_ptr<xercesc::BinInputStream> stream, ParseBudget& budget)
        : m_stream(std::move(stream)), m_budget(budget)
    {
    }

    XMLFilePos curPos() const override { return m_stream->curPos(); }

    XMLSize_t readBytes(XMLByte* const toFill, const XMLSize_t maxToRead) override
    {
        const XMLSize_t count = m_stream->readBytes(toFill, maxToRead);
        m_budget.addInput(count);
        return count;
    }

    const XMLCh* getContentType() const override { return m_stream->getContentType(); }
    const XMLCh* getEncoding() const override { return m_stream->getEncoding(); }

private:
    std::unique_ptr<xercesc::BinInputStream> m_stream;
    ParseBudget& m_budget;
};

} // namespace

CountingInputSource::CountingInputSource(const xercesc::InputSource& source, ParseBudget& budget)
    : xercesc::InputSource(&engineMemory()), m_source(source), m_budget(budget)
{
}

xercesc::BinInputStream* CountingInputSource::makeStream() const
{
    std::unique_ptr<xercesc::BinInputStream> stream(m_source.makeStream());
    if (!stream)
        return nullptr;
    auto counting = std::make_unique<CountingStream>(std::move(stream), m_budget);
    return counting.release(); // the parser owns it from here
}

const XMLCh* CountingInputSource::getEncoding() const
{
    return m_source.getEncoding();
}

const XMLCh* CountingInputSource::getPublicId() const
{
    return m_source.getPublicId();
}

const XMLCh* CountingInputSource::getSystemId() const
{
    return m_source.getSystemId();
}

bool CountingInputSource::getIssueFatalErrorIfNotFound() const
{
    return m_source.getIssueFatalErrorIfNotFound();
}

} // namespace prsm::detail
