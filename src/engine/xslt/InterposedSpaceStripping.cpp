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
// A tester of any other kind runs as the engine's. The testers of a name (n, p:n) are found by
// the hash of the name in a table the thread builds on its first decision of a transformation
// and forgets as the next starts (forgetSpaceStripping), so that a stylesheet freed meanwhile is
// never taken for one at the same address; the others are tried in order as far as the first
// such tester. The answers for the names met last are kept with the table: a step meets the
// whitespace between the children of one element again and again.
#pragma GCC visibility push(default)
#include <xalanc/DOMSupport/DOMServices.hpp>
#include <xalanc/XSLT/StylesheetRoot.hpp>
#include <xalanc/XSLT/XalanSpaceNodeTester.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>
#include <xalanc/XalanDOM/XalanElement.hpp>
#include <xalanc/XalanDOM/XalanText.hpp>
#pragma GCC visibility pop

#include "engine/xslt/EngineMembers.hpp"
#include "engine/xslt/TransformationTables.hpp"
#include "platform/EngineText.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace
{

using prsm::detail::isSameText;
using prsm::detail::nameHash;
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
        return isSameText(viewOf(local), viewOf(*targetLocal)) &&
               (targetUri == nullptr ? uri.empty() : isSameText(viewOf(uri), viewOf(*targetUri)));
    case XPath::eMatchScoreNSWild:
        if (targetUri == nullptr || targetLocal != nullptr)
            break;
        return isSameText(viewOf(uri), viewOf(*targetUri));
    case XPath::eMatchScoreNodeTest:
        if (targetUri != nullptr || targetLocal != nullptr)
            break;
        return true;
    default:
        break;
    }
    return tester(element) != XPath::eMatchScoreNone;
}

// An answer for an element's names, kept as text: the strings it was asked with may be gone.
struct Decision
{
    std::u16string uri;
    std::u16string local;
    bool isKept = false;
    bool strips = false;
};

// The testers of one stylesheet: those of a name by (name hash, position), by hash then
// position; the positions of the others, in order. Recent answers in slots chosen by the
// addresses of the names, which a document shares among its elements of one name.
struct SpaceIndex
{
    const xalanc::StylesheetRoot* root = nullptr;
    std::vector<std::pair<std::size_t, std::size_t>> named;
    std::vector<std::size_t> others;
    std::array<Decision, 64> recent;

    Decision& slotOf(const XalanDOMString& uri, const XalanDOMString& local)
    {
        const auto address = [](const XalanDOMString& text)
        { return reinterpret_cast<std::uintptr_t>(text.c_str()); };
        return recent[((address(local) >> 3) ^ (address(uri) >> 5)) % recent.size()];
    }
};
thread_local SpaceIndex t_index;

// The thread's index behind a call: the compiler would otherwise find the thread-local's address
// again, through a call in a library, at every use.
[[gnu::noinline]] SpaceIndex& threadIndex()
{
    return t_index;
}

void refresh(SpaceIndex& index, const xalanc::StylesheetRoot& root,
             const Stylesheet::WhitespaceElementsVectorType& testers)
{
    if (index.root == &root)
        return;
    index.root = &root;
    index.named.clear();
    index.others.clear();
    for (Decision& decision : index.recent)
        decision.isKept = false;
    for (std::size_t i = 0; i < testers.size(); ++i)
    {
        const NodeTester& names = testers[i];
        const XalanDOMString* const targetUri = names.*memberOf(TargetNamespace());
        const XalanDOMString* const targetLocal = names.*memberOf(TargetLocalName());
        if (testers[i].getMatchScore() == XPath::eMatchScoreQName && targetLocal != nullptr)
            index.named.emplace_back(
                nameHash(targetUri != nullptr ? viewOf(*targetUri) : std::u16string_view(),
                         viewOf(*targetLocal)),
                i);
        else
            index.others.push_back(i);
    }
    std::sort(index.named.begin(), index.named.end());
}

} // namespace

namespace prsm::detail
{

void forgetSpaceStripping()
{
    t_index.root = nullptr;
}

} // namespace prsm::detail

namespace XALAN_CPP_NAMESPACE
{

bool StylesheetRoot::internalShouldStripSourceNode(const XalanText& textNode) const
{
    const XalanNode* const parent = textNode.getParentNode();
    // Nodes of a constructed node-set may have no parent (xalan:nodeset()).
    if (parent == nullptr || parent->getNodeType() != XalanNode::ELEMENT_NODE)
        return false;
    // Only documents are stripped (XSLT 1.0, 3.4), not the trees of result tree fragments that
    // exsl:node-set() lets a stylesheet walk: those hang from a document that holds no element.
    const XalanDocument* const owner = textNode.getOwnerDocument();
    if (owner == nullptr || owner->getDocumentElement() == nullptr)
        return false;
    const XalanElement& element = static_cast<const XalanElement&>(*parent);
    const XalanDOMString& uri = element.getNamespaceURI();
    const XalanDOMString& local = DOMServices::getLocalNameOfNode(element);
    const WhitespaceElementsVectorType& testers = this->*memberOf(SpaceTesters());
    SpaceIndex& index = threadIndex();
    refresh(index, *this, testers);
    Decision& decision = index.slotOf(uri, local);
    if (decision.isKept && isSameText(viewOf(local), decision.local) &&
        isSameText(viewOf(uri), decision.uri))
        return decision.strips;
    std::size_t first = testers.size();
    const std::pair<std::size_t, std::size_t> key(nameHash(viewOf(uri), viewOf(local)), 0);
    for (auto at = std::lower_bound(index.named.begin(), index.named.end(), key);
         at != index.named.end() && at->first == key.first; ++at)
        if (matches(testers[at->second], element, uri, local))
        {
            first = at->second;
            break;
        }
    for (const std::size_t other : index.others)
    {
        if (other > first)
            break;
        if (matches(testers[other], element, uri, local))
        {
            first = other;
            break;
        }
    }
    decision.uri.assign(viewOf(uri));
    decision.local.assign(viewOf(local));
    decision.isKept = true;
    decision.strips =
        first < testers.size() && testers[first].getType() == XalanSpaceNodeTester::eStrip;
    return decision.strips;
}

} // namespace XALAN_CPP_NAMESPACE
