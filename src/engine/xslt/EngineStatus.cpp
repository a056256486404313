// Statuses and texts of the file and stream transformations, as the engine's own transformer
// reports them.
#include "engine/xslt/EngineStatus.hpp"

#include "platform/EngineText.hpp"

namespace prsm::detail
{

int runWithEngineStatus(std::string& text, PRSMXslFailure& failure,
                        const xalanc::XalanDOMString& collected, const FailurePhase& phase,
                        const OperationGuard& guard, const ProblemPlace* place,
                        FunctionRef<int()> work)
{
    try
    {
        const int status = work();
        text.clear();
        failure = PRSMXslFailure();
        return status;
    }
    catch (...)
    {
        EngineFailure classified = classifyCurrentException(phase, &guard, place);
        failure = std::move(classified.failure);
        if (!classified.isEngine)
            throw;
        // The listener's account comes first: it carries the place the exception may lack.
        text = collected.empty() ? std::move(classified.engineText) : utf8Of(collected);
        return classified.status;
    }
}

} // namespace prsm::detail
