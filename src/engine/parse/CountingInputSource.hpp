// An input source that tells a parse budget how many bytes the parser reads from it.
#pragma once

#include <xercesc/sax/InputSource.hpp>

namespace prsm::detail
{

class ParseBudget;

// Reads through `source`, which it presents as itself (system id, public id, encoding), and adds
// every byte read to `budget`. Both must outlive the parse.
class CountingInputSource final : public xercesc::InputSource
{
public:
    CountingInputSource(const xercesc::InputSource& source, ParseBudget& budget);

    xercesc::BinInputStream* makeStream() const override;
    const XMLCh* getEncoding() const override;
    const XMLCh* getPublicId() const override;
    const XMLCh* getSystemId() const override;
    bool getIssueFatalErrorIfNotFound() const override;

private:
    const xercesc::InputSource& m_source;
    ParseBudget& m_budget;
};

} // namespace prsm::detail
