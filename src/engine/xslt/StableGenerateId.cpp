// generate-id() as a function of a node's document and its place in it, the same in every run.
#include "engine/xslt/StableGenerateId.hpp"

#include "engine/xslt/GuardedExecutionContext.hpp"

#include <xalanc/PlatformSupport/DOMStringHelper.hpp>
#include <xalanc/PlatformSupport/XalanMessageLoader.hpp>
#include <xalanc/PlatformSupport/XalanUnicode.hpp>
#include <xalanc/XPath/Function.hpp>
#include <xalanc/XPath/XObjectFactory.hpp>
#include <xalanc/XPath/XPath.hpp>
#include <xalanc/XPath/XPathExecutionContext.hpp>
#include <xalanc/XPath/XPathFunctionTable.hpp>

namespace prsm::detail
{

std::size_t DocumentNumbers::numberOf(const xalanc::XalanDocument* document)
{
    return m_numbers.emplace(document, m_numbers.size()).first->second;
}

namespace
{

const xalanc::XalanDocument* documentOf(const xalanc::XalanNode& node)
{
    if (node.getNodeType() == xalanc::XalanNode::DOCUMENT_NODE)
        return static_cast<const xalanc::XalanDocument*>(&node);
    return node.getOwnerDocument();
}

class StableGenerateId final : public xalanc::Function
{
public:
    using Function::execute;

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* context,
                               const xercesc::Locator* locator) const override
    {
        if (context == nullptr)
        {
            const xalanc::XPathExecutionContext::GetCachedString text(executionContext);
            executionContext.problem(
                xalanc::XPathExecutionContext::eXPath, xalanc::XPathExecutionContext::eError,
                xalanc::XalanMessageLoader::getMessage(
                    text.get(), xalanc::XalanMessages::FunctionRequiresNonNullContextNode_1Param,
                    "generate-id()"),
                locator, context);
            return xalanc::XObjectPtr();
        }
        return executionContext.getXObjectFactory().createString(idOf(executionContext, *context));
    }

    xalanc::XObjectPtr execute(xalanc::XPathExecutionContext& executionContext,
                               xalanc::XalanNode* /* context */, const xalanc::XObjectPtr arg,
                               const xercesc::Locator* locator) const override
    {
        const xalanc::NodeRefListBase& nodes = arg->nodeset();
        if (nodes.getLength() == 0)
            return executionContext.getXObjectFactory().createStringReference(s_empty);
        return execute(executionContext, nodes.item(0), locator);
    }

    StableGenerateId* clone(xalanc::MemoryManager& manager) const override
    {
        return xalanc::XalanCopyConstruct(manager, *this);
    }

private:
    static xalanc::XalanDOMString idOf(xalanc::XPathExecutionContext& executionContext,
                                       const xalanc::XalanNode& node)
    {
        xalanc::XalanDOMString id("id", executionContext.getMemoryManager());
        xalanc::NumberToDOMString(static_cast<XMLUInt64>(node.getIndex()), id);
        // Queries run over one document and have no numbering of their own.
        auto* numbered = dynamic_cast<GuardedExecutionContext*>(&executionContext);
        const std::size_t document =
            numbered == nullptr ? 0 : numbered->documentNumbers().numberOf(documentOf(node));
        if (document != 0)
        {
            id.append(1, xalanc::XalanUnicode::charLetter_d);
            xalanc::NumberToDOMString(static_cast<XMLUInt64>(document), id);
        }
        return id;
    }

    const xalanc::XalanDOMString& getError(xalanc::XalanDOMString& result) const override
    {
        return xalanc::XalanMessageLoader::getMessage(
            result, xalanc::XalanMessages::FunctionTakesZeroOrOneArg_1Param, "generate-id()");
    }

    static const xalanc::XalanDOMString s_empty;
};

const xalanc::XalanDOMString StableGenerateId::s_empty(xalanc::XalanMemMgrs::getDummyMemMgr());

} // namespace

void installStableGenerateId()
{
    xalanc::XPath::installFunction(xalanc::XPathFunctionTable::s_generateId, StableGenerateId());
}

} // namespace prsm::detail
