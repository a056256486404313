// Transformation of one handle's document into another handle's target.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "dom2dom/HandleAccess.hpp"
#include "dom2dom/HandleState.hpp"
#include "engine/Engine.hpp"
#include "platform/EngineText.hpp"
#include "transformer/FailureReport.hpp"
#include "transformer/TransformerImpl.hpp"

#include <xalanc/PlatformSupport/DOMStringPrintWriter.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XalanTransformer/XalanTransformerProblemListener.hpp>

namespace
{

using prsm::detail::HandleAccess;
using prsm::detail::HandleKind;

// Every engine object lives in this frame, so an exception leaves with all of them destroyed
// before the report is composed. The stylesheet is parsed first, on its own, so that a broken
// one is reported as the parser's exception with its place.
int transformHandles(const prsm::detail::SourceDocument& source, const I18NString& stylesheet,
                     xalanc::XSLTResultTarget& target, const prsm::detail::EngineTables& tables)
{
    xalanc::MemoryManager& manager = prsm::detail::engineMemory();
    xalanc::XalanDOMString collected(manager);
    xalanc::DOMStringPrintWriter writer(collected);
    xalanc::XalanTransformerProblemListener listener(manager, nullptr, &writer);
    prsm::detail::Engine engine(manager, tables, listener);

    const xalanc::XSLTInputSource file(prsm::detail::toEngine(stylesheet), manager);
    xalanc::XSLTInputSource parsed(engine.parse(file), manager);
    // Keeps relative references in the stylesheet (xsl:include, document()) working.
    parsed.setSystemId(file.getSystemId());
    engine.transform(source, parsed, target);
    return 0;
}

} // namespace

int PRSMXslTransformer::doTransform(Dom2Dom& source, const I18NString& stylesheet, Dom2Dom& result)
{
    const prsm::detail::HandleState& input = HandleAccess::state(source);
    prsm::detail::HandleState& output = HandleAccess::state(result);
    // These tests come before any engine object is built; a failed parse keeps its own status
    // and leaves the stored report alone.
    if (input.kind() == HandleKind::FailedInput)
        return input.parseResult();
    if (input.document() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoDocument, m_impl->m_lastError);
    if (output.resultTarget() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoTarget, m_impl->m_lastError);
    if (&source == &result)
        return prsm::detail::refuse(prsm::detail::Refusal::SameHandle, m_impl->m_lastError);

    auto work = [&]
    {
        return transformHandles(*input.document(), stylesheet, *output.resultTarget(),
                                m_impl->tables());
    };
    return prsm::detail::runReporting(prsm::detail::ReportingOperation::Transform,
                                      m_impl->m_lastError, work);
}
