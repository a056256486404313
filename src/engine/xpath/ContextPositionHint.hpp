// position() in time independent of the context's size.
#pragma once

#include <xalanc/XPath/NodeRefListBase.hpp>

namespace prsm::detail
{

// Corrects XPathExecutionContextDefault::getContextNodeListPosition
// (xalanc/XPath/XPathExecutionContextDefault.cpp), which finds the context position by
// searching the context node list from its start, and remembers only the last node it was asked
// about. A predicate that calls position() (a[position() mod 2 = 0], DocBook's numbering) visits
// the list in order, so each node costs a search as long as the list: quadratic, 14 s over
// 200,000 elements where xsltproc takes 0.3 s. The hint tries the node after the last one found
// before it searches. A node-set holds each node once, so the first place a node is found is its
// position.
class ContextPositionHint
{
public:
    // The 1-based position of the node in the list, 0 if the list does not hold it.
    xalanc::NodeRefListBase::size_type find(const xalanc::NodeRefListBase& list,
                                            const xalanc::XalanNode& node);

private:
    const xalanc::NodeRefListBase* m_list = nullptr;
    // The index after the last node found in m_list.
    xalanc::NodeRefListBase::size_type m_next = 0;
};

} // namespace prsm::detail
