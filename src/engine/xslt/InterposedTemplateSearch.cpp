// The engine's search for the template rule of a node, through the patterns of the current mode
// only, for the whole process.
//
// The engine (Stylesheet::findTemplate, xalanc/XSLT/Stylesheet.cpp) walks the list of every
// pattern that may match the node's name, whatever its mode, and compares each pattern's mode
// with the current one through virtual calls before it tries the pattern. An xsl:include adds
// its patterns to the including stylesheet's lists, and each pattern of * or node() joins the
// list of every name, so DocBook's lists run to hundreds of patterns in some hundred modes: a
// fourteenth of a book's transformation went into the mode comparisons. The engine calls the
// member through its procedure linkage table, so the library's definition below is the one it
// runs, as with the other interposed members (engine/xpath/InterposedDocumentOrder.cpp). Where
// the engine stops at the first match (its default, quiet conflict warnings), it tries the same
// patterns in the same order, the list of the current mode made once per transformation and kept
// by list and mode in the execution context (ModeLists); where the engine looks for conflicts to
// warn of, for a stylesheet without templates, and in a context that is not the library's, the
// engine's own runs.
#pragma GCC visibility push(default)
#include <xalanc/XPath/XalanQName.hpp>
#include <xalanc/XSLT/ElemTemplate.hpp>
#include <xalanc/XSLT/Stylesheet.hpp>
#include <xalanc/XSLT/StylesheetExecutionContext.hpp>
#include <xalanc/XSLT/XalanMatchPatternData.hpp>
#pragma GCC visibility pop

#include "engine/xslt/EngineMembers.hpp"
#include "engine/xslt/TransformationTables.hpp"
#include "platform/EngineText.hpp"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace
{

using prsm::detail::isSameText;
using prsm::detail::viewOf;
using xalanc::XalanMatchPatternData;
using xalanc::XalanQName;
using PatternList = xalanc::Stylesheet::PatternTableVectorType;

// The patterns of one list whose template is in one mode, in the list's order.
struct ModeList
{
    const PatternList* list = nullptr;
    std::u16string modeUri;
    std::u16string modeLocal;
    std::vector<const XalanMatchPatternData*> patterns;
};

std::size_t keyOf(const PatternList& list, std::u16string_view uri, std::u16string_view local)
{
    return std::hash<const void*>()(&list) ^ (prsm::detail::nameHash(uri, local) * 31);
}

// Whether a template of mode `ruleMode` applies in the mode `mode`, as the engine decides it.
bool isInMode(const XalanQName& ruleMode, std::u16string_view uri, std::u16string_view local)
{
    const bool hasMode = !uri.empty() || !local.empty();
    const std::u16string_view ruleLocal = viewOf(ruleMode.getLocalPart());
    const std::u16string_view ruleUri = viewOf(ruleMode.getNamespace());
    const bool ruleHasMode = !ruleUri.empty() || !ruleLocal.empty();
    return hasMode == ruleHasMode &&
           (!hasMode || (isSameText(ruleLocal, local) && isSameText(ruleUri, uri)));
}

} // namespace

struct prsm::detail::ModeLists::Table
{
    std::unordered_map<std::size_t, ModeList> lists;
};

namespace
{

// The patterns of `list` in `mode`, or null where another list and mode share the key: the
// caller then walks the whole list.
const std::vector<const XalanMatchPatternData*>*
inMode(prsm::detail::ModeLists& lists, const PatternList& list, const XalanQName& mode)
{
    const std::u16string_view uri = viewOf(mode.getNamespace());
    const std::u16string_view local = viewOf(mode.getLocalPart());
    const auto [at, isNew] = lists.table().lists.try_emplace(keyOf(list, uri, local));
    ModeList& modeList = at->second;
    if (isNew)
    {
        modeList.list = &list;
        modeList.modeUri = uri;
        modeList.modeLocal = local;
        for (const XalanMatchPatternData* pattern : list)
            if (isInMode(pattern->getTemplate()->getMode(), uri, local))
                modeList.patterns.push_back(pattern);
    }
    else if (modeList.list != &list || !isSameText(modeList.modeUri, uri) ||
             !isSameText(modeList.modeLocal, local))
        return nullptr;
    return &modeList.patterns;
}

} // namespace

namespace prsm::detail
{

ModeLists::ModeLists() : m_table(std::make_unique<Table>()) {}

ModeLists::~ModeLists() = default;

void ModeLists::clear()
{
    m_table->lists.clear();
}

} // namespace prsm::detail

namespace XALAN_CPP_NAMESPACE
{

const ElemTemplate* Stylesheet::findTemplate(StylesheetExecutionContext& executionContext,
                                             XalanNode* targetNode,
                                             XalanNode::NodeType targetNodeType,
                                             const XalanQName& mode, bool onlyUseImports) const
{
    prsm::detail::ModeLists* const lists = prsm::detail::modeListsOf(executionContext);
    if (m_isWrapperless || !executionContext.getQuietConflictWarnings() || lists == nullptr)
    {
        using Engine =
            const ElemTemplate* (*)(const Stylesheet*, StylesheetExecutionContext&, XalanNode*,
                                    XalanNode::NodeType, const XalanQName&, bool);
        static const Engine engine = engineDefinition<Engine>(
            "_ZNK11xalanc_1_1210Stylesheet12findTemplateERNS_"
            "26StylesheetExecutionContextEPNS_9XalanNodeENS3_8NodeTypeERKNS_"
            "10XalanQNameEb");
        return engine(this, executionContext, targetNode, targetNodeType, mode, onlyUseImports);
    }
    if (!onlyUseImports)
    {
        const PatternList& list = *locateMatchPatternDataList(*targetNode, targetNodeType);
        if (const auto* patterns = inMode(*lists, list, mode))
        {
            for (const XalanMatchPatternData* pattern : *patterns)
                if (pattern->getExpression()->getMatchScore(targetNode, *this, executionContext) !=
                    XPath::eMatchScoreNone)
                    return pattern->getTemplate();
        }
        else
        {
            const std::u16string_view uri = viewOf(mode.getNamespace());
            const std::u16string_view local = viewOf(mode.getLocalPart());
            for (const XalanMatchPatternData* pattern : list)
                if (isInMode(pattern->getTemplate()->getMode(), uri, local) &&
                    pattern->getExpression()->getMatchScore(targetNode, *this, executionContext) !=
                        XPath::eMatchScoreNone)
                    return pattern->getTemplate();
        }
    }
    for (StylesheetVectorType::size_type i = 0; i < m_importsSize; ++i)
        if (const ElemTemplate* rule = m_imports[i]->findTemplate(executionContext, targetNode,
                                                                  targetNodeType, mode, false))
            return rule;
    return nullptr;
}

} // namespace XALAN_CPP_NAMESPACE
