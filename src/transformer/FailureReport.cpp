// Failure reports of the in-memory transformation and the XPath query.
#include "transformer/FailureReport.hpp"

#include "PRSMXslTransformer.hpp"

#include <string>

namespace prsm::detail
{
namespace
{

int store(ReportSinks sinks, const std::string& report, int status, std::string message)
{
    sinks.lastError = I18NString(report.c_str(), nullptr, static_cast<int>(report.size()));
    sinks.failure = plainFailure(status, PRSMXslFailureKind::Usage, std::move(message));
    return status;
}

} // namespace

int runReporting(ReportingOperation operation, ReportSinks sinks, FunctionRef<int()> work,
                 const FailurePhase& phase, const OperationGuard& guard, const ProblemPlace* place)
{
    try
    {
        const int status = work();
        sinks.failure = PRSMXslFailure();
        return status;
    }
    catch (...)
    {
        EngineFailure classified = classifyCurrentException(phase, &guard, place);
        const std::string& report = operation == ReportingOperation::Transform
                                        ? classified.transformReport
                                        : classified.queryReport;
        sinks.lastError = I18NString(report.c_str(), nullptr, static_cast<int>(report.size()));
        sinks.failure = std::move(classified.failure);
        return classified.status;
    }
}

int refuse(Refusal refusal, ReportSinks sinks)
{
    switch (refusal)
    {
    case Refusal::NoDocument:
        return store(sinks,
                     "The input document handle holds no document: set it up as an input, or "
                     "use an in-memory output handle.\n",
                     PRSMXslTransformer::kNoDocumentStatus,
                     "the input document handle holds no document");
    case Refusal::EmptyTree:
        return store(sinks,
                     "The input document handle is an output whose tree holds no document "
                     "element: nothing was delivered to it, or its transformation failed.\n",
                     PRSMXslTransformer::kNoDocumentStatus,
                     "the input document handle is an output whose tree holds no document "
                     "element");
    case Refusal::NoTarget:
        return store(sinks, "The output document handle is not set up as an output.\n",
                     PRSMXslTransformer::kNoTargetStatus,
                     "the output document handle is not set up as an output");
    case Refusal::NotStarted:
        return store(sinks,
                     "The library is not started: call QXXslTransformer_Initialize before "
                     "transforming or querying.\n",
                     PRSMXslTransformer::kNotInitializedStatus,
                     "the library is not started: call QXXslTransformer_Initialize first");
    case Refusal::StaleHandle:
        return store(sinks,
                     "A document handle was made before the library was last stopped; make a "
                     "new one.\n",
                     PRSMXslTransformer::kNotInitializedStatus,
                     "a document handle was made before the library was last stopped");
    case Refusal::SameHandle:
        break;
    }
    return store(sinks,
                 "The output document handle is the input document handle; use two handles.\n",
                 PRSMXslTransformer::kNoTargetStatus,
                 "the output document handle is the input document handle");
}

} // namespace prsm::detail
