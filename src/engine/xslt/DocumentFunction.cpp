// document() in place of the engine's, which gives nothing for document('', node).
#include "engine/xslt/DocumentFunction.hpp"

#include "functions/WorkCheck.hpp"

#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPath.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XPath/XPathFunctionTable.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>

namespace prsm::detail
{

xalanc::XObjectPtr DocumentFunction::execute(xalanc::XPathExecutionContext& executionContext,
                                             xalanc::XalanNode* context,
                                             const xalanc::XObjectPtr arg1,
                                             const xercesc::Locator* locator) const
{
    xalanc::XObjectPtr result =
        xalanc::FunctionDocument::execute(executionContext, context, arg1, locator);
    checkWork(executionContext, locator);
    return result;
}

xalanc::XObjectPtr DocumentFunction::execute(xalanc::XPathExecutionContext& executionContext,
                                             xalanc::XalanNode* context,
                                             const xalanc::XObjectPtr arg1,
                                             const xalanc::XObjectPtr arg2,
                                             const xercesc::Locator* locator) const
{
    if (arg1->getType() != xalanc::XObject::eTypeNodeSet &&
        arg2->getType() == xalanc::XObject::eTypeNodeSet && arg2->nodeset().getLength() > 0)
    {
        xalanc::XalanDOMString reference(executionContext.getMemoryManager());
        arg1->str(executionContext, reference);
        if (reference.empty())
        {
            xalanc::XalanNode* base = arg2->nodeset().item(0);
            xalanc::XalanNode* document =
                base->getNodeType() == xalanc::XalanNode::DOCUMENT_NODE
                    ? base
                    : static_cast<xalanc::XalanNode*>(base->getOwnerDocument());
            xalanc::XPathExecutionContext::BorrowReturnMutableNodeRefList nodes(executionContext);
            if (document != nullptr)
                nodes->addNode(document);
            return executionContext.getXObjectFactory().createNodeSet(nodes);
        }
    }
    xalanc::XObjectPtr result =
        xalanc::FunctionDocument::execute(executionContext, context, arg1, arg2, locator);
    checkWork(executionContext, locator);
    return result;
}

DocumentFunction* DocumentFunction::clone(xalanc::MemoryManager& manager) const
{
    return xalanc::XalanCopyConstruct(manager, *this);
}

void DocumentFunction::install()
{
    xalanc::XPath::installFunction(xalanc::XPathFunctionTable::s_document, DocumentFunction());
}

} // namespace prsm::detail
