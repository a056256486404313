// XPath queries over the document of a handle, with the result printed onto a stream.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "dom2dom/HandleAccess.hpp"
#include "dom2dom/HandleState.hpp"
#include "engine/EngineStartup.hpp"
#include "engine/NodeWriter.hpp"
#include "engine/OperationGuard.hpp"
#include "engine/SourceDocument.hpp"
#include "engine/XPathEngine.hpp"
#include "platform/EngineText.hpp"
#include "transformer/FailureReport.hpp"
#include "transformer/TransformerImpl.hpp"

#include <xalanc/XPath/NodeRefListBase.hpp>
#include <xalanc/XPath/XObject.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>

#include <ostream>

namespace
{

bool isNodeSet(xalanc::XObject::eObjectType type)
{
    return type == xalanc::XObject::eTypeNodeSet || type == xalanc::XObject::eTypeNodeSetNodeProxy;
}

// The engine hands back string results in several forms (a computed string, a literal of the
// expression, a cached value); all of them print as text.
bool isString(xalanc::XObject::eObjectType type)
{
    switch (type)
    {
    case xalanc::XObject::eTypeString:
    case xalanc::XObject::eTypeStringReference:
    case xalanc::XObject::eTypeStringAdapter:
    case xalanc::XObject::eTypeStringCached:
    case xalanc::XObject::eTypeXTokenStringAdapter:
        return true;
    default:
        return false;
    }
}

void print(const xalanc::XObject& result, std::ostream& out)
{
    const xalanc::XObject::eObjectType type = result.getType();
    if (isNodeSet(type))
    {
        const xalanc::NodeRefListBase& nodes = result.nodeset();
        if (nodes.getLength() == 1)
            prsm::detail::writeNodeAsXml(out, nodes.item(0), false);
    }
    else if (isString(type))
    {
        // Printed as UTF-8, the platform's default 8-bit encoding.
        out << prsm::detail::utf8Of(result.str());
    }
}

} // namespace

int PRSMXslTransformer::doXPath(Dom2Dom& doc, const I18NString& expression, std::ostream& out)
{
    const prsm::detail::HandleState& state = prsm::detail::HandleAccess::state(doc);
    if (prsm::detail::engineGeneration() == 0)
        return prsm::detail::refuse(prsm::detail::Refusal::NotStarted, m_impl->m_lastError);
    if (!state.isCurrent())
        return prsm::detail::refuse(prsm::detail::Refusal::StaleHandle, m_impl->m_lastError);
    // A failed parse keeps its own status and leaves the stored report alone.
    if (state.kind() == prsm::detail::HandleKind::FailedInput)
        return state.parseResult();
    if (state.document() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoDocument, m_impl->m_lastError);

    auto work = [&]
    {
        prsm::detail::OperationGuard guard(m_impl->m_xalanTransformer->limits());
        auto printResult = [&](const xalanc::XObject& result) { print(result, out); };
        prsm::detail::evaluateXPath(state.document()->document(),
                                    prsm::detail::toEngine(expression), guard, printResult);
        return 0;
    };
    return prsm::detail::runReporting(prsm::detail::ReportingOperation::XPath, m_impl->m_lastError,
                                      work);
}
