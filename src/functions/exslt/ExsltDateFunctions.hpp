// The EXSLT date and time functions the engine lacks: all of the module but date:date-time.
#pragma once

#include "functions/exslt/ExsltFunctionTable.hpp"

#include <xalanc/XPath/Function.hpp>

#include <cstddef>

namespace prsm::detail
{

// One date function: checks the argument count, then leaves the call to its worker. Arguments
// that are not in a permitted lexical form give the empty string or NaN, as each function's
// definition says; a wrong argument count ends the evaluation through the engine's error report.
// Functions whose argument is optional read the current local date and time, with its zone, from
// ZBLUtSystemInfo::getTimeStamp(0) when it is left out.
class ExsltDateFunction : public xalanc::Function
{
public:
    using Worker = xalanc::XObjectPtr (*)(xalanc::XPathExecutionContext& executionContext,
                                          const XObjectArgVectorType& args);

    // `name` is the local name, used in the count error; arguments from `fewest` to `most`.
    ExsltDateFunction(const char* name, std::size_t fewest, std::size_t most, Worker worker);

    using Function::execute;

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context, const XObjectArgVectorType& args,
                               const xercesc::Locator* locator) const override;
    ExsltDateFunction* clone(xalanc::MemoryManager& manager) const override;

    const char* name() const { return m_name; }

protected:
    const xalanc::XalanDOMString& getError(xalanc::XalanDOMString& buffer) const override;

private:
    const char* m_name;
    std::size_t m_fewest;
    std::size_t m_most;
    Worker m_worker;
};

// The twenty-four functions in http://exslt.org/dates-and-times.
const ExsltModule& exsltDatesAndTimesModule();

} // namespace prsm::detail
