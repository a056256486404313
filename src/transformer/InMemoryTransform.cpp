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

namespace
{

// What the transformation of handles uses of the transformer.
struct TransformerParts
{
    prsm::detail::EngineContext& engine;
    prsm::detail::ReportSinks sinks;
    prsm::detail::EngineTables tables;
};

int transformHandles(TransformerParts parts, Dom2Dom& source,
                     const prsm::detail::StylesheetSource& stylesheet, Dom2Dom& result);

} // namespace

int PRSMXslTransformer::doTransform(Dom2Dom& source, const I18NString& stylesheet, Dom2Dom& result)
{
    return transformHandles({*m_impl->m_xalanTransformer, m_impl->sinks(), m_impl->tables()},
                            source, stylesheet, result);
}

int PRSMXslTransformer::doTransform(Dom2Dom& source, const PRSMXslStylesheetText& stylesheet,
                                    Dom2Dom& result)
{
    return transformHandles(
        {*m_impl->m_xalanTransformer, m_impl->sinks(), m_impl->tables()}, source,
        prsm::detail::StylesheetSource(stylesheet.xml, stylesheet.baseUri), result);
}

namespace
{

int transformHandles(TransformerParts parts, Dom2Dom& source,
                     const prsm::detail::StylesheetSource& stylesheet, Dom2Dom& result)
{
    const prsm::detail::HandleState& input = HandleAccess::state(source);
    prsm::detail::HandleState& output = HandleAccess::state(result);
    // These tests come before any engine object is built; a failed parse keeps its own status
    // and leaves the stored report alone.
    if (prsm::detail::engineGeneration() == 0)
        return prsm::detail::refuse(prsm::detail::Refusal::NotStarted, parts.sinks);
    if (!input.isCurrent() || !output.isCurrent())
        return prsm::detail::refuse(prsm::detail::Refusal::StaleHandle, parts.sinks);
    if (input.kind() == HandleKind::FailedInput)
    {
        parts.engine.lastFailure() = input.parseFailure();
        return input.parseResult();
    }
    if (input.document() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoDocument, parts.sinks);
    if (output.resultTarget() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoTarget, parts.sinks);
    if (&source == &result)
        return prsm::detail::refuse(prsm::detail::Refusal::SameHandle, parts.sinks);
    if (input.isEmptyTree())
        return prsm::detail::refuse(prsm::detail::Refusal::EmptyTree, parts.sinks);

    // Every engine object lives inside the work, so all of them are gone before a report is
    // made; only the place of the last reported problem goes on to it.
    prsm::detail::ProblemPlace place;
    prsm::detail::OperationGuard guard(parts.engine.limits());
    auto work = [&]
    {
        xalanc::XalanDOMString collected(prsm::detail::engineMemory());
        parts.engine.run(*input.document(), stylesheet, *output.resultTarget(), parts.tables, guard,
                         collected, place);
        return 0;
    };
    return prsm::detail::runReporting(prsm::detail::ReportingOperation::Transform, parts.sinks,
                                      work, parts.engine.phase(), guard, &place);
}

} // namespace
