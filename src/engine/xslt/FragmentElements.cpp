// An execution context under which a result tree fragment keeps its elements wherever it is made.
#include "engine/xslt/FragmentElements.hpp"

namespace prsm::detail
{

FragmentElements::FragmentElements(xalanc::MemoryManager& manager) : AttributeNamespaces(manager) {}

void FragmentElements::beginCreateXResultTreeFrag(xalanc::XalanNode* sourceNode)
{
    AttributeNamespaces::beginCreateXResultTreeFrag(sourceNode);
    pushCopyTextNodesOnly(false);
}

const xalanc::XObjectPtr FragmentElements::endCreateXResultTreeFrag()
{
    popCopyTextNodesOnly();
    return AttributeNamespaces::endCreateXResultTreeFrag();
}

} // namespace prsm::detail
