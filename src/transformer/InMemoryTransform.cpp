// Transformation of one handle's document into another handle's target.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "dom2dom/HandleAccess.hpp"
#include "dom2dom/HandleState.hpp"
#include "engine/Engine.hpp"
#include "engine/EngineStartup.hpp"
#include "engine/LocatingProblemListener.hpp"
#include "engine/OperationGuard.hpp"
#include "platform/EngineText.hpp"
#include "transformer/FailureReport.hpp"
#include "transformer/TransformerImpl.hpp"

#include <xalanc/PlatformSupport/DOMStringPrintWriter.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>

namespace
{

using prsm::detail::HandleAccess;
using prsm::detail::HandleKind;

// Every engine object lives in this frame, so an exception leaves with all of them destroyed
// before the report is composed; only the place of the last reported problem goes on to it. The
// engine reads the stylesheet file itself, as on the file path, so that its errors carry their
// lines and columns.
int transformHandles(const prsm::detail::SourceDocument& source, const I18NString& stylesheet,
                     xalanc::XSLTResultTarget& target, const prsm::detail::EngineTables& tables,
                     prsm::detail::OperationGuard& guard, prsm::detail::ProblemPlace& place)
{
    xalanc::MemoryManager& manager = prsm::detail::engineMemory();
    xalanc::XalanDOMString collected(manager);
    xalanc::DOMStringPrintWriter writer(collected);
    prsm::detail::LocatingProblemListener listener(manager, &writer, place);
    prsm::detail::Engine engine(manager, tables, listener, guard);

    const xalanc::XSLTInputSource file(prsm::detail::toEngine(stylesheet), manager);
    engine.transform(source, file, target);
    return 0;
}

} // namespace

int PRSMXslTransformer::doTransform(Dom2Dom& source, const I18NString& stylesheet, Dom2Dom& result)
{
    const prsm::detail::HandleState& input = HandleAccess::state(source);
    prsm::detail::HandleState& output = HandleAccess::state(result);
    // These tests come before any engine object is built; a failed parse keeps its own status
    // and leaves the stored report alone.
    if (prsm::detail::engineGeneration() == 0)
        return prsm::detail::refuse(prsm::detail::Refusal::NotStarted, m_impl->m_lastError);
    if (!input.isCurrent() || !output.isCurrent())
        return prsm::detail::refuse(prsm::detail::Refusal::StaleHandle, m_impl->m_lastError);
    if (input.kind() == HandleKind::FailedInput)
        return input.parseResult();
    if (input.document() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoDocument, m_impl->m_lastError);
    if (output.resultTarget() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoTarget, m_impl->m_lastError);
    if (&source == &result)
        return prsm::detail::refuse(prsm::detail::Refusal::SameHandle, m_impl->m_lastError);

    prsm::detail::ProblemPlace place;
    auto work = [&]
    {
        prsm::detail::OperationGuard guard(m_impl->m_xalanTransformer->limits());
        return transformHandles(*input.document(), stylesheet, *output.resultTarget(),
                                m_impl->tables(), guard, place);
    };
    return prsm::detail::runReporting(prsm::detail::ReportingOperation::Transform,
                                      m_impl->m_lastError, work, &place);
}
