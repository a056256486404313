// saxon:systemId(), which xsltproc also offers and DocBook's stylesheets ask for.
#include "functions/exslt/SaxonFunctions.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>
#include <xalanc/XalanDOM/XalanNode.hpp>

namespace prsm::detail
{
namespace
{

xalanc::XObjectPtr systemIdWorker(const ExsltCall& call)
{
    xalanc::XPathExecutionContext& context = call.executionContext;
    const xalanc::XalanNode* const node = call.context;
    const xalanc::XalanDocument* const document =
        node == nullptr ? nullptr
        : node->getNodeType() == xalanc::XalanNode::DOCUMENT_NODE
            ? static_cast<const xalanc::XalanDocument*>(node)
            : node->getOwnerDocument();
    if (document == nullptr)
        return context.getXObjectFactory().createString(
            xalanc::XalanDOMString(context.getMemoryManager()));
    return context.getXObjectFactory().createString(context.findURIFromDoc(document));
}

} // namespace

const ExsltModule& saxonModule()
{
    static const ExsltModule module{"http://icl.com/saxon",
                                    {{"systemId", kNoArguments, systemIdWorker}}};
    return module;
}

} // namespace prsm::detail
