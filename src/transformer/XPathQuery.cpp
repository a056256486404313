// XPath queries over the document of a handle, with the result printed onto a stream.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "dom2dom/HandleAccess.hpp"
#include "dom2dom/HandleState.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/output/NodeWriter.hpp"
#include "engine/parse/SourceDocument.hpp"
#include "engine/xpath/XPathEngine.hpp"
#include "engine/xslt/EngineStartup.hpp"
#include "platform/EngineText.hpp"
#include "transformer/FailureReport.hpp"
#include "transformer/TransformerImpl.hpp"

#include <xalanc/DOMSupport/DOMServices.hpp>
#include <xalanc/XPath/NodeRefListBase.hpp>
#include <xalanc/XPath/XObject.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>

#include <ostream>
#include <sstream>
#include <string>

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

// One node of a result as a line: an element as XML, an attribute as name="value", every other
// node as its string value.
void printNode(const xalanc::XalanNode& node, std::ostream& out)
{
    if (node.getNodeType() == xalanc::XalanNode::ELEMENT_NODE)
    {
        // The parser binds the xml prefix on the document element; the binding is implicit in
        // every document, so an element printed on its own leaves it out.
        static const std::string kXmlBinding =
            " xmlns:xml=\"http://www.w3.org/XML/1998/namespace\"";
        std::ostringstream xml;
        prsm::detail::writeNodeAsXml(xml, &node, false);
        std::string text = xml.str();
        for (auto at = text.find(kXmlBinding); at != std::string::npos; at = text.find(kXmlBinding))
            text.erase(at, kXmlBinding.size());
        out << text;
    }
    else if (node.getNodeType() == xalanc::XalanNode::ATTRIBUTE_NODE)
        out << prsm::detail::utf8Of(node.getNodeName()) << "=\""
            << prsm::detail::utf8Of(node.getNodeValue()) << '"';
    else
    {
        xalanc::XalanDOMString data;
        xalanc::DOMServices::getNodeData(node, data);
        out << prsm::detail::utf8Of(data);
    }
    out << '\n';
}

void printAll(const xalanc::XObject& result, std::ostream& out)
{
    if (!isNodeSet(result.getType()))
    {
        // An empty string prints nothing, as an empty node-set does.
        const std::string text = prsm::detail::utf8Of(result.str());
        if (!text.empty())
            out << text << '\n';
        return;
    }
    const xalanc::NodeRefListBase& nodes = result.nodeset();
    for (xalanc::NodeRefListBase::size_type i = 0; i < nodes.getLength(); ++i)
        printNode(*nodes.item(i), out);
}

using Printer = void (*)(const xalanc::XObject& result, std::ostream& out);

// The query behind both entries: refusals first, then the evaluation with its result printed by
// `printer` while the engine that made it lives.
int query(Dom2Dom& doc, const I18NString& expression, std::ostream& out, Printer printer,
          const PRSMXslLimits& limits, prsm::detail::ReportSinks sinks)
{
    const prsm::detail::HandleState& state = prsm::detail::HandleAccess::state(doc);
    if (prsm::detail::engineGeneration() == 0)
        return prsm::detail::refuse(prsm::detail::Refusal::NotStarted, sinks);
    if (!state.isCurrent())
        return prsm::detail::refuse(prsm::detail::Refusal::StaleHandle, sinks);
    // A failed parse keeps its own status and leaves the stored report alone.
    if (state.kind() == prsm::detail::HandleKind::FailedInput)
    {
        sinks.failure = state.parseFailure();
        return state.parseResult();
    }
    if (state.document() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoDocument, sinks);
    if (state.isEmptyTree())
        return prsm::detail::refuse(prsm::detail::Refusal::EmptyTree, sinks);

    prsm::detail::OperationGuard guard(limits);
    auto work = [&]
    {
        auto printResult = [&](const xalanc::XObject& result) { printer(result, out); };
        prsm::detail::evaluateXPath(state.document()->document(),
                                    prsm::detail::toEngine(expression), guard, printResult);
        return 0;
    };
    const prsm::detail::FailurePhase phase = prsm::detail::FailurePhase::Query;
    return prsm::detail::runReporting(prsm::detail::ReportingOperation::XPath, sinks, work, phase,
                                      guard);
}

} // namespace

int PRSMXslTransformer::doXPath(Dom2Dom& doc, const I18NString& expression, std::ostream& out)
{
    return query(doc, expression, out, print, m_impl->m_xalanTransformer->limits(),
                 m_impl->sinks());
}

int PRSMXslTransformer::doXPathAll(Dom2Dom& doc, const I18NString& expression, std::ostream& out)
{
    return query(doc, expression, out, printAll, m_impl->m_xalanTransformer->limits(),
                 m_impl->sinks());
}
