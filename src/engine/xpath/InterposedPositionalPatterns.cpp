// The engine's match of a pattern step that selects by position, the step's nodes from each
// parent found once per transformation, for the whole process.
//
// To match a node against a step such as *[1][self::para] or year[position()=last()] (any
// predicate of number value or that asks for a position), the engine (XPath::handleFoundIndex,
// xalanc/XPath/XPath.cpp) evaluates the whole step again from the node's parent over all its
// children and looks for the node in the result, for every node it tries: the n children of one
// parent cost n². DocBook's FO stylesheets try listitem/*[1][local-name()='para' or ...] and
// step[...]/*[1][self::para] on every element, a sixth of a book's transformation. The definition
// below keeps, for the transformation running in the library's execution context, the nodes the
// step gives from each parent (sorted by address for the membership test). It keeps only what
// cannot change within the transformation: a parent in a parsed document (not a result tree
// fragment, whose nodes go before the transformation ends) and a pattern without variables and
// with no function but the core ones that read only the tree (not current(), key(), document(),
// generate-id(), an extension's). Every other match is the engine's own, found behind the
// library, as with the other interposed members (InterposedDocumentOrder.cpp).
#pragma GCC visibility push(default)
#include <xalanc/DOMSupport/DOMServices.hpp>
#include <xalanc/XPath/MutableNodeRefList.hpp>
#include <xalanc/XPath/XPath.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XPath/XPathExpression.hpp>
#include <xalanc/XalanDOM/XalanNode.hpp>
#pragma GCC visibility pop

#include "engine/xpath/ExpressionText.hpp"
#include "engine/xslt/EngineMembers.hpp"
#include "engine/xslt/TransformationTables.hpp"
#include "engine/xslt/TreeRoot.hpp"
#include "platform/EngineText.hpp"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <iterator>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace
{

using xalanc::XalanNode;
using xalanc::XPath;
using xalanc::XPathExpression;
using Position = XPath::OpCodeMapPositionType;
using EngineMatch = XPath::eMatchScore (*)(const XPath*, xalanc::XPathExecutionContext&, XalanNode*,
                                           Position);

struct StepKey
{
    const XPath* xpath;
    Position step;
    const XalanNode* parent;

    bool operator==(const StepKey& other) const
    {
        return xpath == other.xpath && step == other.step && parent == other.parent;
    }
};

struct StepKeyHash
{
    std::size_t operator()(const StepKey& key) const
    {
        const std::hash<const void*> hash;
        return hash(key.xpath) ^ (hash(key.step) * 31) ^ (hash(key.parent) * 961);
    }
};

// The functions whose value depends only on their arguments and the context node, position and
// size: the core library but for current(), key(), document(), generate-id(), format-number()
// and the like, which read more than the tree.
bool isPlainFunction(std::u16string_view name)
{
    static constexpr std::u16string_view kPlain[] = {u"node",
                                                     u"text",
                                                     u"comment",
                                                     u"processing-instruction",
                                                     u"position",
                                                     u"last",
                                                     u"count",
                                                     u"not",
                                                     u"true",
                                                     u"false",
                                                     u"boolean",
                                                     u"name",
                                                     u"local-name",
                                                     u"namespace-uri",
                                                     u"floor",
                                                     u"ceiling",
                                                     u"round",
                                                     u"number",
                                                     u"string",
                                                     u"string-length",
                                                     u"sum",
                                                     u"concat",
                                                     u"contains",
                                                     u"starts-with",
                                                     u"substring",
                                                     u"substring-before",
                                                     u"substring-after",
                                                     u"normalize-space",
                                                     u"translate",
                                                     u"lang",
                                                     u"id"};
    return std::find(std::begin(kPlain), std::end(kPlain), name) != std::end(kPlain);
}

// Whether the nodes of any step of `pattern` from a parent are the same whenever they are asked
// for: no variable, and no function outside the plain ones (a prefixed name is an extension's).
// Read from the pattern's text, all of its alternatives: a name read too widely only keeps a
// pattern out.
bool isFixed(std::u16string_view pattern)
{
    return prsm::detail::visitOutsideLiterals(
        pattern,
        [&](std::size_t i)
        {
            if (pattern[i] == u'$')
                return false;
            if (pattern[i] != u'(')
                return true;
            std::size_t end = i;
            while (end > 0 && prsm::detail::isXmlSpace(pattern[end - 1]))
                --end;
            std::size_t start = end;
            while (start > 0 &&
                   (prsm::detail::isNameUnit(pattern[start - 1]) || pattern[start - 1] == u':'))
                --start;
            std::u16string_view name = pattern.substr(start, end - start);
            if (const std::size_t axis = name.rfind(u"::"); axis != std::u16string_view::npos)
                name.remove_prefix(axis + 2);
            return name.empty() || isPlainFunction(name);
        });
}

// At most this many nodes are kept for one transformation; past it the table starts again.
constexpr std::size_t kMostNodes = std::size_t{1} << 20;

} // namespace

struct prsm::detail::PositionalSteps::Table
{
    std::unordered_map<StepKey, std::vector<const XalanNode*>, StepKeyHash> steps;
    std::unordered_map<const XPath*, bool> isFixed;
    std::size_t nodes = 0;
};

namespace prsm::detail
{

PositionalSteps::PositionalSteps() : m_table(std::make_unique<Table>()) {}

PositionalSteps::~PositionalSteps() = default;

void PositionalSteps::clear()
{
    m_table->steps.clear();
    m_table->isFixed.clear();
    m_table->nodes = 0;
}

} // namespace prsm::detail

namespace XALAN_CPP_NAMESPACE
{

namespace
{

// The nodes of `step` from `parent`, sorted by address, made by `evaluate` once per
// transformation; null where they may not be kept.
template <class Evaluate>
const std::vector<const XalanNode*>* keptStep(const XPath& xpath, XPathExecutionContext& context,
                                              XalanNode& parent, Position step, Evaluate evaluate)
{
    prsm::detail::PositionalSteps* kept = prsm::detail::positionalStepsOf(context);
    // Only a parsed document keeps its nodes to the end of the transformation.
    const XalanNode* root = kept == nullptr ? nullptr : prsm::detail::treeRootOf(parent);
    if (root == nullptr || root->getNodeType() != XalanNode::DOCUMENT_NODE)
        return nullptr;
    auto& table = kept->table();
    auto fixed = table.isFixed.find(&xpath);
    if (fixed == table.isFixed.end())
        fixed =
            table.isFixed
                .emplace(&xpath,
                         isFixed(prsm::detail::viewOf(xpath.getExpression().getCurrentPattern())))
                .first;
    if (!fixed->second)
        return nullptr;
    const StepKey key{&xpath, step, &parent};
    if (const auto found = table.steps.find(key); found != table.steps.end())
        return &found->second;
    if (table.nodes > kMostNodes)
    {
        table.steps.clear();
        table.nodes = 0;
    }
    XPathExecutionContext::BorrowReturnMutableNodeRefList list(context);
    evaluate(*list);
    std::vector<const XalanNode*> nodes;
    nodes.reserve(list->getLength());
    for (MutableNodeRefList::size_type i = 0; i < list->getLength(); ++i)
        nodes.push_back(list->item(i));
    std::sort(nodes.begin(), nodes.end());
    table.nodes += nodes.size() + 1;
    return &table.steps.emplace(key, std::move(nodes)).first->second;
}

} // namespace

XPath::eMatchScore XPath::handleFoundIndex(XPathExecutionContext& executionContext,
                                           XalanNode* localContext,
                                           OpCodeMapPositionType startOpPos) const
{
    static const EngineMatch engine = engineDefinition<EngineMatch>(
        "_ZNK11xalanc_1_125XPath16handleFoundIndexERNS_21XPathExecutionContextEPNS_9XalanNodeEPKi");
    XalanNode* const parent = DOMServices::getParentOfNode(*localContext);
    const std::vector<const XalanNode*>* nodes =
        parent == nullptr ? nullptr
                          : keptStep(*this, executionContext, *parent, startOpPos,
                                     [&](MutableNodeRefList& list)
                                     { step(executionContext, parent, startOpPos, list); });
    if (nodes == nullptr)
        return engine(this, executionContext, localContext, startOpPos);
    return std::binary_search(nodes->begin(), nodes->end(), localContext) ? eMatchScoreOther
                                                                          : eMatchScoreNone;
}

} // namespace XALAN_CPP_NAMESPACE
