// Nodes put in document order in O(n log n).
#pragma once

#include <xalanc/XPath/NodeRefListBase.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <algorithm>
#include <vector>

namespace prsm::detail
{

// Sorts `nodes` into document order, stably. The engine's MutableNodeRefList inserts each node
// where it belongs by a search from the end, in time quadratic in the count for nodes out of
// order (MutableNodeRefList::addNodesInDocOrder), with no pause to check the limits.
inline void sortInDocumentOrder(std::vector<xalanc::XalanNode*>& nodes,
                                xalanc::XPathExecutionContext& executionContext)
{
    const auto before = [&executionContext](const xalanc::XalanNode* a, const xalanc::XalanNode* b)
    { return a != b && executionContext.isNodeAfter(*b, *a); };
    if (!std::is_sorted(nodes.begin(), nodes.end(), before))
        std::stable_sort(nodes.begin(), nodes.end(), before);
}

// The nodes of `list` in document order.
inline std::vector<xalanc::XalanNode*>
inDocumentOrder(const xalanc::NodeRefListBase& list,
                xalanc::XPathExecutionContext& executionContext)
{
    std::vector<xalanc::XalanNode*> nodes;
    nodes.reserve(list.getLength());
    for (xalanc::NodeRefListBase::size_type i = 0; i < list.getLength(); ++i)
        nodes.push_back(list.item(i));
    sortInDocumentOrder(nodes, executionContext);
    return nodes;
}

} // namespace prsm::detail
