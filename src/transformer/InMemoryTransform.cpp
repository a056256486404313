// Transformation of one handle's document into another handle's target.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "dom2dom/HandleAccess.hpp"
#include "dom2dom/HandleState.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/xslt/EngineStartup.hpp"
#include "engine/xslt/LocatingProblemListener.hpp"
#include "platform/EngineMemory.hpp"
#include "transformer/FailureReport.hpp"
#include "transformer/TransformerImpl.hpp"

#include <xalanc/XalanDOM/XalanDOMString.hpp>

using prsm::detail::HandleAccess;
using prsm::detail::HandleKind;

int PRSMXslTransformer::doTransform(Dom2Dom& source, const I18NString& stylesheet, Dom2Dom& result)
{
    const prsm::detail::HandleState& input = HandleAccess::state(source);
    prsm::detail::HandleState& output = HandleAccess::state(result);
    // These tests come before any engine object is built; a failed parse keeps its own status
    // and leaves the stored report alone.
    if (prsm::detail::engineGeneration() == 0)
        return prsm::detail::refuse(prsm::detail::Refusal::NotStarted, m_impl->sinks());
    if (!input.isCurrent() || !output.isCurrent())
        return prsm::detail::refuse(prsm::detail::Refusal::StaleHandle, m_impl->sinks());
    if (input.kind() == HandleKind::FailedInput)
    {
        m_impl->m_xalanTransformer->lastFailure() = input.parseFailure();
        return input.parseResult();
    }
    if (input.document() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoDocument, m_impl->sinks());
    if (output.resultTarget() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoTarget, m_impl->sinks());
    if (&source == &result)
        return prsm::detail::refuse(prsm::detail::Refusal::SameHandle, m_impl->sinks());
    if (input.isEmptyTree())
        return prsm::detail::refuse(prsm::detail::Refusal::EmptyTree, m_impl->sinks());

    // Every engine object lives inside the work, so all of them are gone before a report is
    // made; only the place of the last reported problem goes on to it.
    prsm::detail::ProblemPlace place;
    prsm::detail::OperationGuard guard(m_impl->m_xalanTransformer->limits());
    auto work = [&]
    {
        xalanc::XalanDOMString collected(prsm::detail::engineMemory());
        m_impl->m_xalanTransformer->run(*input.document(), stylesheet, *output.resultTarget(),
                                        m_impl->tables(), guard, collected, place);
        return 0;
    };
    return prsm::detail::runReporting(prsm::detail::ReportingOperation::Transform, m_impl->sinks(),
                                      work, m_impl->m_xalanTransformer->phase(), guard, &place);
}
