// The engine's match of a pattern against a node, refusing no node: a missing one matches
// nothing, for the whole process.
//
// xsl:number level="any" with a from pattern walks back from the node it numbers through
// preceding nodes and ancestors (ElemNumber::getPreviousNode, xalanc/XSLT/ElemNumber.cpp) and
// stops at a document node or a node the from pattern matches; its test reads
// `0 != next && next->getNodeType() == DOCUMENT_NODE || from->getMatchScore(next, ...)`, so at a
// top that is no document (the root of a tree fragment, which DocBook's namespaced stylesheets
// number in after exsl:node-set(); an attribute) the engine matches the pattern against no node,
// and the host dies. The definition below answers that no node matches, which ends the walk as
// reaching a document node does; every other match is the engine's own, found behind the library,
// as with the other interposed members (InterposedDocumentOrder.cpp). The engine's fix: bracket
// the document test.
#pragma GCC visibility push(default)
#include <xalanc/XPath/XPath.hpp>
#pragma GCC visibility pop

#include "engine/xslt/EngineMembers.hpp"

namespace
{

using EngineMatch = xalanc::XPath::eMatchScore (*)(const xalanc::XPath*, xalanc::XalanNode*,
                                                   const xalanc::PrefixResolver&,
                                                   xalanc::XPathExecutionContext&);

} // namespace

namespace XALAN_CPP_NAMESPACE
{

XPath::eMatchScore XPath::getMatchScore(XalanNode* node, const PrefixResolver& resolver,
                                        XPathExecutionContext& executionContext) const
{
    static const EngineMatch engine = engineDefinition<EngineMatch>(
        "_ZNK11xalanc_1_125XPath13getMatchScoreEPNS_9XalanNodeERKNS_14PrefixResolverERNS_"
        "21XPathExecutionContextE");
    if (node == nullptr)
        return eMatchScoreNone;
    return engine(this, node, resolver, executionContext);
}

} // namespace XALAN_CPP_NAMESPACE
