// The engine's sibling axes, stopped once a numbered predicate has the nodes it can choose from,
// for the whole process.
//
// The engine's XPath::findFollowingSiblings and XPath::findPreceedingSiblings
// (xalanc/XPath/XPath.cpp) collect every sibling the node test accepts before XPath::predicates
// keeps the one a number literal asks for, so following-sibling::a[1] from each of n siblings
// visits n²/2 nodes: 28 s over 50,000 siblings where xsltproc, which stops at the first, takes
// 0.1 s. Grouping and list stylesheets (DocBook's among them) walk siblings so. When the first
// predicate after the step is the number literal N, the definitions below collect the first N
// nodes of the axis; the predicate then keeps the same node from the shorter list. Every other
// step is the engine's own, found behind the library, as with the other interposed members
// (InterposedDocumentOrder.cpp). The engine's fix: give the find functions the number of nodes
// the step needs.
#pragma GCC visibility push(default)
#include <xalanc/XPath/MutableNodeRefList.hpp>
#include <xalanc/XPath/XPath.hpp>
#include <xalanc/XPath/XPathExpression.hpp>
#include <xalanc/XalanDOM/XalanNode.hpp>
#pragma GCC visibility pop

#include "engine/xslt/EngineMembers.hpp"

#include <cmath>
#include <cstddef>
#include <limits>

namespace
{

using xalanc::XPath;
using xalanc::XPathExpression;
using Position = XPath::OpCodeMapPositionType;
using Value = XPath::OpCodeMapValueType;
using EngineStep = Position (*)(const XPath*, xalanc::XPathExecutionContext&, xalanc::XalanNode*,
                                Position, Value, xalanc::MutableNodeRefList&);

constexpr std::size_t kEvery = std::numeric_limits<std::size_t>::max();

// How many nodes of the axis the predicates at `next` can choose from: N when the first is the
// number literal N (read as XPath::predicates reads it), every node otherwise.
std::size_t nodesNeeded(const XPathExpression& expression, Position next)
{
    const Value op = expression.getOpCodeMapValue(next);
    if (op != XPathExpression::eOP_PREDICATE && op != XPathExpression::eOP_PREDICATE_WITH_POSITION)
        return kEvery;
    if (expression.getOpCodeMapValue(next + 2) != XPathExpression::eOP_NUMBERLIT)
        return kEvery;
    const double index = expression.getNumberLiteral(expression.getOpCodeMapValue(next + 4));
    if (!(index >= 1 && index <= 1e6) || std::floor(index) != index)
        return kEvery;
    return static_cast<std::size_t>(index);
}

std::size_t neededAfter(const XPath& xpath, Position opPos)
{
    const XPathExpression& expression = xpath.getExpression();
    return nodesNeeded(expression, opPos + 3 + expression.getOpCodeArgumentLength(opPos));
}

// A sibling step: the engine's own (`engine`) unless a numbered predicate follows; then the first
// siblings that predicate can choose from, walking with `next`, in the axis' order.
template <typename Next>
Position siblingStep(const XPath& xpath, EngineStep engine,
                     xalanc::XPathExecutionContext& executionContext, xalanc::XalanNode* context,
                     Position opPos, Value stepType, xalanc::MutableNodeRefList& results, Next next,
                     bool isReverse)
{
    const std::size_t needed = neededAfter(xpath, opPos);
    if (needed == kEvery && engine != nullptr)
        return engine(&xpath, executionContext, context, opPos, stepType, results);
    const Value argLen = xpath.getExpression().getOpCodeArgumentLength(opPos);
    const Position test = opPos + 3;
    const XPath::NodeTester tester(xpath, executionContext, test, argLen, stepType);
    for (xalanc::XalanNode* node = next(*context); node != nullptr && results.getLength() < needed;
         node = next(*node))
        if (tester(*node, node->getNodeType()) != XPath::eMatchScoreNone)
            results.addNode(node);
    if (isReverse)
        results.setReverseDocumentOrder();
    else
        results.setDocumentOrder();
    return test + argLen;
}

} // namespace

namespace XALAN_CPP_NAMESPACE
{

XPath::OpCodeMapPositionType XPath::findFollowingSiblings(XPathExecutionContext& executionContext,
                                                          XalanNode* context,
                                                          OpCodeMapPositionType opPos,
                                                          OpCodeMapValueType stepType,
                                                          MutableNodeRefList& subQueryResults) const
{
    static const EngineStep engine = engineDefinition<EngineStep>(
        "_ZNK11xalanc_1_125XPath21findFollowingSiblingsERNS_21XPathExecutionContextEPNS_"
        "9XalanNodeEPKiiRNS_18MutableNodeRefListE");
    return siblingStep(
        *this, engine, executionContext, context, opPos, stepType, subQueryResults,
        [](XalanNode& node) { return node.getNextSibling(); }, false);
}

XPath::OpCodeMapPositionType
XPath::findPreceedingSiblings(XPathExecutionContext& executionContext, XalanNode* context,
                              OpCodeMapPositionType opPos, OpCodeMapValueType stepType,
                              MutableNodeRefList& subQueryResults) const
{
    static const EngineStep engine = engineDefinition<EngineStep>(
        "_ZNK11xalanc_1_125XPath22findPreceedingSiblingsERNS_21XPathExecutionContextEPNS_"
        "9XalanNodeEPKiiRNS_18MutableNodeRefListE");
    return siblingStep(
        *this, engine, executionContext, context, opPos, stepType, subQueryResults,
        [](XalanNode& node) { return node.getPreviousSibling(); }, true);
}

} // namespace XALAN_CPP_NAMESPACE
