// The engine's insertion of a node into a node list in document order, corrected for the
// document node and for the growth of the list, for the whole process.
//
// The engine's MutableNodeRefList::addNodeInDocOrder (xalanc/XPath/MutableNodeRefList.cpp, its
// DocumentPredicate) orders a document node after every other node, its own document's included,
// whenever the document node is added to a list that already holds nodes: a union such as
// (ancestor::book|/) then has the root last, so (ancestor::book|/)[last()] is the root where
// XPath and xsltproc give the book. DocBook scopes each book's index so, and every index of a set
// listed every book's terms. The engine calls the member through its procedure linkage table
// (XPath::Union and the other unions), so the library's definition below is the one it runs, as
// with the number conversions (platform/InterposedNumberToString.hpp). A document node that is
// not yet in the list goes before the first node of its own document; every other call is the
// engine's own, found behind the library. Shown by name((ancestor::b|/)[last()]) from <i/> in
// <s><b><i/></b></s>: "b". The engine's fix: DocumentPredicate order a document node before the
// nodes it owns.
//
// The insertion also gives the list room to grow by half before the engine inserts: the engine
// inserts through XalanVector::insert (xalanc/Include/XalanVector.hpp), which, unlike push_back,
// reallocates a full vector to exactly one more element and copies it whole. Every location path
// of two steps or more (/r/a/text(), //a/@n) merges its results node by node so, and took the
// square of its length: 28 s for sum(//a/@n) over 200,000 elements where xsltproc takes 0.4 s.
// The engine's fix: make that insert grow as push_back does.
#pragma GCC visibility push(default)
#include <xalanc/XPath/MutableNodeRefList.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>
#include <xalanc/XalanDOM/XalanNode.hpp>
#pragma GCC visibility pop

#include "engine/xslt/EngineMembers.hpp"

namespace
{

using EngineInsertion = void (*)(xalanc::MutableNodeRefList*, xalanc::XalanNode*,
                                 xalanc::XPathExecutionContext&);

// The engine's own definition, the next one after the library's in the lookup order.
EngineInsertion engineInsertion()
{
    static const EngineInsertion insertion = engineDefinition<EngineInsertion>(
        "_ZN11xalanc_1_1218MutableNodeRefList17addNodeInDocOrderEPNS_9XalanNodeERNS_"
        "21XPathExecutionContextE");
    return insertion;
}

} // namespace

namespace XALAN_CPP_NAMESPACE
{

void MutableNodeRefList::addNodeInDocOrder(XalanNode* node, XPathExecutionContext& executionContext)
{
    if (m_nodeList.size() == m_nodeList.capacity())
        m_nodeList.reserve(m_nodeList.size() + m_nodeList.size() / 2 + 8);
    if (node != nullptr && node->getNodeType() == XalanNode::DOCUMENT_NODE && getLength() > 0)
    {
        size_type first = getLength();
        for (size_type i = 0; i < getLength(); ++i)
        {
            const XalanNode* held = item(i);
            if (held == node)
                return;
            if (first == getLength() &&
                static_cast<const XalanNode*>(held->getOwnerDocument()) == node)
                first = i;
        }
        if (first < getLength())
        {
            insertNode(node, first);
            return;
        }
    }
    if (const EngineInsertion insertion = engineInsertion())
        insertion(this, node, executionContext);
    else
        addNode(node);
}

} // namespace XALAN_CPP_NAMESPACE
