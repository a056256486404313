// The EXSLT set functions, built in linear time between checks of the limits. The engine's own
// set:difference, set:intersection and set:has-same-node (xalanc/XalanEXSLT/XalanEXSLTSet.cpp)
// search the second node-set for every node of the first.
#include "functions/exslt/ExsltSetFunctions.hpp"

#include "functions/WorkCheck.hpp"
#include "functions/exslt/DocumentOrder.hpp"
#include "functions/exslt/NodeText.hpp"

#include <xalanc/XPath/MutableNodeRefList.hpp>
#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>

#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

namespace prsm::detail
{
namespace
{

using Nodes = std::vector<xalanc::XalanNode*>;

constexpr std::size_t kNodesPerCheck = 4096;

// `nodes` as a node-set in document order.
xalanc::XObjectPtr nodeSetOf(Nodes& nodes, const ExsltCall& call)
{
    xalanc::XPathExecutionContext& executionContext = call.executionContext;
    sortInDocumentOrder(nodes, executionContext);
    checkWork(executionContext, call.locator);
    xalanc::XPathExecutionContext::BorrowReturnMutableNodeRefList result(executionContext);
    for (xalanc::XalanNode* node : nodes)
        result->addNode(node);
    result->setDocumentOrder();
    return executionContext.getXObjectFactory().createNodeSet(result);
}

xalanc::XObjectPtr distinctWorker(const ExsltCall& call)
{
    const xalanc::NodeRefListBase& given = call.args[0]->nodeset();
    if (given.getLength() <= 1)
        return call.args[0];
    std::unordered_set<std::u16string> seen;
    Nodes kept;
    for (xalanc::NodeRefListBase::size_type i = 0; i < given.getLength(); ++i)
    {
        if (i % kNodesPerCheck == 0)
            checkWork(call.executionContext, call.locator);
        xalanc::XalanNode* node = given.item(i);
        if (seen.insert(nodeText(*node, call.executionContext, call.locator)).second)
            kept.push_back(node);
    }
    return nodeSetOf(kept, call);
}

// The nodes of the first argument on the side of the second's first node that `isAfter` says.
xalanc::XObjectPtr sideOf(const ExsltCall& call, bool isAfter)
{
    xalanc::XPathExecutionContext& executionContext = call.executionContext;
    const xalanc::NodeRefListBase& nodes = call.args[0]->nodeset();
    const xalanc::NodeRefListBase& marks = call.args[1]->nodeset();
    if (nodes.getLength() == 0 || marks.getLength() == 0)
        return call.args[0];
    const xalanc::XalanNode* const mark = marks.item(0);
    Nodes kept;
    if (nodes.indexOf(mark) != xalanc::NodeRefListBase::npos)
    {
        for (xalanc::NodeRefListBase::size_type i = 0; i < nodes.getLength(); ++i)
        {
            if (i % kNodesPerCheck == 0)
                checkWork(executionContext, call.locator);
            xalanc::XalanNode* node = nodes.item(i);
            if (node != mark && executionContext.isNodeAfter(*node, *mark) == isAfter)
                kept.push_back(node);
        }
    }
    return nodeSetOf(kept, call);
}

xalanc::XObjectPtr leadingWorker(const ExsltCall& call)
{
    return sideOf(call, false);
}

xalanc::XObjectPtr trailingWorker(const ExsltCall& call)
{
    return sideOf(call, true);
}

// The nodes of the first argument that the second holds (`held`) or does not hold.
xalanc::XObjectPtr membersOf(const ExsltCall& call, bool held)
{
    const xalanc::NodeRefListBase& nodes = call.args[0]->nodeset();
    const xalanc::NodeRefListBase& other = call.args[1]->nodeset();
    std::unordered_set<const xalanc::XalanNode*> members;
    members.reserve(other.getLength());
    for (xalanc::NodeRefListBase::size_type i = 0; i < other.getLength(); ++i)
    {
        if (i % kNodesPerCheck == 0)
            checkWork(call.executionContext, call.locator);
        members.insert(other.item(i));
    }
    Nodes kept;
    for (xalanc::NodeRefListBase::size_type i = 0; i < nodes.getLength(); ++i)
    {
        if (i % kNodesPerCheck == 0)
            checkWork(call.executionContext, call.locator);
        if ((members.count(nodes.item(i)) != 0) == held)
            kept.push_back(nodes.item(i));
    }
    return nodeSetOf(kept, call);
}

xalanc::XObjectPtr differenceWorker(const ExsltCall& call)
{
    return membersOf(call, false);
}

xalanc::XObjectPtr intersectionWorker(const ExsltCall& call)
{
    return membersOf(call, true);
}

xalanc::XObjectPtr hasSameNodeWorker(const ExsltCall& call)
{
    const bool shared = call.args[1]->nodeset().getLength() != 0 &&
                        membersOf(call, true)->nodeset().getLength() != 0;
    return call.executionContext.getXObjectFactory().createBoolean(shared);
}

} // namespace

const ExsltModule& exsltSetsModule()
{
    static const ExsltModule module{"http://exslt.org/sets",
                                    {{"difference", kTwoArguments, differenceWorker},
                                     {"distinct", kOneArgument, distinctWorker},
                                     {"has-same-node", kTwoArguments, hasSameNodeWorker},
                                     {"intersection", kTwoArguments, intersectionWorker},
                                     {"leading", kTwoArguments, leadingWorker},
                                     {"trailing", kTwoArguments, trailingWorker}}};
    return module;
}

} // namespace prsm::detail
