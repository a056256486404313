// Whether a whitespace text node of the source is stripped, decided from the element's names read
// once, for the whole process.
//
// The engine decides it again every time a step meets a whitespace-only text node
// (StylesheetRoot::internalShouldStripSourceNode, xalanc/XSLT/StylesheetRoot.cpp): it tries the
// testers of the xsl:strip-space and xsl:preserve-space names in order, each through a member
// function pointer that makes two virtual calls for the parent's names and compares strings.
// DocBook's HTML stylesheets strip some 200 names and preserve *, so each whitespace node in a
// para tries 200 testers before * matches: a third of the transformation of a DocBook book, most
// of it under //x steps. The engine calls the member through its procedure linkage table (its
// caller, StylesheetRoot::shouldStripSourceNode, is inline), so the library's definition below is
// the one it runs, as with the other interposed members (engine/xpath/InterposedDocumentOrder.cpp).
// It gives the engine's answer by the engine's rules (XPath::NodeTester::initialize and its
// test...2 members): the first tester in order whose name test matches decides, * matches every
// element, p:* every element of p's namespace, n only n in no namespace, p:n n in p's namespace.
// A tester of any other kind runs as the engine's.
#pragma GCC visibility push(default)
#include <xalanc/DOMSupport/DOMServices.hpp>
#include <xalanc/XSLT/StylesheetRoot.hpp>
#include <xalanc/XSLT/XalanSpaceNodeTester.hpp>
#include <xalanc/XalanDOM/XalanElement.hpp>
#include <xalanc/XalanDOM/XalanText.hpp>
#pragma GCC visibility pop

#include "engine/xslt/EngineMembers.hpp"
#include "platform/EngineText.hpp"

namespace
{

using prsm::detail::viewOf;
using xalanc::Stylesheet;
using xalanc::XalanDOMString;
using xalanc::XalanSpaceNodeTester;
using xalanc::XPath;
using NodeTester = XPath::NodeTester;

PRSM_ENGINE_MEMBER(SpaceTesters, Stylesheet, Stylesheet::WhitespaceElementsVectorType,
                   m_whitespaceElements);
PRSM_ENGINE_MEMBER(TargetNamespace, NodeTester, const XalanDOMString*, m_targetNamespace);
PRSM_ENGINE_MEMBER(TargetLocalName, NodeTester, const XalanDOMString*, m_targetLocalName);

// Whether `tester` matches an element of namespace `uri` and local name `local`.
bool matches(const XalanSpaceNodeTester& tester, const xalanc::XalanElement& element,
             const XalanDOMString& uri, const XalanDOMString& local)
{
    const NodeTester& names = tester;
    const XalanDOMString* const targetUri = names.*memberOf(TargetNamespace());
    const XalanDOMString* const targetLocal = names.*memberOf(TargetLocalName());
    switch (tester.getMatchScore())
    {
    case XPath::eMatchScoreQName:
        if (targetLocal == nullptr)
            break;
        return viewOf(local) == viewOf(*targetLocal) &&
               (targetUri == nullptr ? uri.empty() : viewOf(uri) == viewOf(*targetUri));
    case XPath::eMatchScoreNSWild:
        if (targetUri == nullptr || targetLocal != nullptr)
            break;
        return viewOf(uri) == viewOf(*targetUri);
    case XPath::eMatchScoreNodeTest:
        if (targetUri != nullptr || targetLocal != nullptr)
            break;
        return true;
    default:
        break;
    }
    return tester(element) != XPath::eMatchScoreNone;
}

} // namespace

namespace XALAN_CPP_NAMESPACE
{

bool StylesheetRoot::internalShouldStripSourceNode(const XalanText& textNode) const
{
    const XalanNode* const parent = textNode.getParentNode();
    // Nodes of a constructed node-set may have no parent (xalan:nodeset()).
    if (parent == nullptr || parent->getNodeType() != XalanNode::ELEMENT_NODE)
        return false;
    const XalanElement& element = static_cast<const XalanElement&>(*parent);
    const XalanDOMString& uri = element.getNamespaceURI();
    const XalanDOMString& local = DOMServices::getLocalNameOfNode(element);
    for (const XalanSpaceNodeTester& tester : this->*memberOf(SpaceTesters()))
        if (matches(tester, element, uri, local))
            return tester.getType() == XalanSpaceNodeTester::eStrip;
    return false;
}

} // namespace XALAN_CPP_NAMESPACE
