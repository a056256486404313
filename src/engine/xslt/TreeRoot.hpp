// The node a tree of a transformation hangs from.
#pragma once

#include <xalanc/DOMSupport/DOMServices.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>
#include <xalanc/XalanDOM/XalanNode.hpp>

namespace prsm::detail
{

// The document of `node` where it was parsed, which keeps its nodes to the end of the
// transformation; or, for a node of a result tree fragment made a node-set, the fragment, whose
// document only makes fragments and has no children of its own (as the engine finds the node a
// key table covers, StylesheetRoot.cpp, getKeyNode). Null where there is neither.
inline xalanc::XalanNode* treeRootOf(xalanc::XalanNode& node)
{
    using xalanc::XalanNode;
    XalanNode* const document = node.getNodeType() == XalanNode::DOCUMENT_NODE
                                    ? &node
                                    : static_cast<XalanNode*>(node.getOwnerDocument());
    if (document == nullptr || document->getFirstChild() != nullptr)
        return document;
    XalanNode* fragment = &node;
    while (fragment != nullptr && fragment->getNodeType() != XalanNode::DOCUMENT_FRAGMENT_NODE)
        fragment = xalanc::DOMServices::getParentOfNode(*fragment);
    return fragment;
}

} // namespace prsm::detail
