// XPath queries over the document of a handle, with the result printed onto a stream.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "dom2dom/NodeWriter.hpp"
#include "platform/Utf8.hpp"
#include "transformer/EngineStrings.hpp"
#include "transformer/FailureReport.hpp"

#include <xalanc/DOMSupport/XalanDocumentPrefixResolver.hpp>
#include <xalanc/XPath/NodeRefListBase.hpp>
#include <xalanc/XPath/XObject.hpp>
#include <xalanc/XPath/XObjectFactoryDefault.hpp>
#include <xalanc/XPath/XPath.hpp>
#include <xalanc/XPath/XPathConstructionContextDefault.hpp>
#include <xalanc/XPath/XPathEnvSupportDefault.hpp>
#include <xalanc/XPath/XPathExecutionContextDefault.hpp>
#include <xalanc/XPath/XPathParserException.hpp>
#include <xalanc/XPath/XPathProcessorImpl.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDOMSupport.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeParserLiaison.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>

#include <ostream>
#include <string_view>

namespace
{

// The engine's construction context writes each problem with the expression to std::cerr before
// throwing. This one throws the same exception for an error and passes over everything else.
class QuietConstructionContext final : public xalanc::XPathConstructionContextDefault
{
public:
    using XPathConstructionContextDefault::XPathConstructionContextDefault;

    void problem(eSource, eClassification classification, const xalanc::XalanDOMString& msg,
                 const xercesc::Locator* locator, const xalanc::XalanNode*) override
    {
        if (classification == eError)
            throw xalanc::XPathParserException(msg, getMemoryManager(), locator);
    }

    void problem(eSource, eClassification classification, const xalanc::XalanDOMString& msg,
                 const xalanc::XalanNode*) override
    {
        if (classification == eError)
            throw xalanc::XPathParserException(msg, getMemoryManager());
    }
};

bool isNodeSet(xalanc::XObject::eObjectType type)
{
    return type == xalanc::XObject::eTypeNodeSet || type == xalanc::XObject::eTypeNodeSetNodeProxy;
}

// The engine hands back string results in several forms (a computed string, a literal of the
// expression, a cached value); all of them print as text.
bool isString(xalanc::XObject::eObjectType type)
{
    switch (type)
    {
    case xalanc::XObject::eTypeString:
    case xalanc::XObject::eTypeStringReference:
    case xalanc::XObject::eTypeStringAdapter:
    case xalanc::XObject::eTypeStringCached:
    case xalanc::XObject::eTypeXTokenStringAdapter:
        return true;
    default:
        return false;
    }
}

void print(const xalanc::XObject& result, std::ostream& out)
{
    const xalanc::XObject::eObjectType type = result.getType();
    if (isNodeSet(type))
    {
        const xalanc::NodeRefListBase& nodes = result.nodeset();
        if (nodes.getLength() == 1)
            prsm::detail::writeNodeAsXml(out, nodes.item(0), false);
    }
    else if (isString(type))
    {
        // Printed as UTF-8, the platform's default 8-bit encoding.
        const xalanc::XalanDOMString& text = result.str();
        out << prsm::detail::utf16ToUtf8(std::u16string_view(text.c_str(), text.length()));
    }
}

// One evaluation in an environment built for the call, assembled as the engine's XPathEvaluator
// does but with a construction context that keeps quiet. Each object is declared before those
// that refer to it, so the result goes first and the strings the expression keeps go last.
int evaluateAndPrint(xalanc::MemoryManager& manager, xalanc::XalanDocument& document,
                     const I18NString& expression, std::ostream& out)
{
    xalanc::XalanSourceTreeDOMSupport domSupport;
    xalanc::XalanSourceTreeParserLiaison parserLiaison(domSupport, manager);
    domSupport.setParserLiaison(&parserLiaison);

    // Prefixes in the expression stand for what the document itself declares.
    const xalanc::XalanDocumentPrefixResolver resolver(&document, xalanc::XalanDOMString(manager),
                                                       manager);
    const xalanc::XalanDOMString text = prsm::detail::engineString(expression);
    QuietConstructionContext constructionContext(manager);
    xalanc::XPath xpath(manager);
    xalanc::XPathProcessorImpl processor(manager);
    processor.initXPath(xpath, constructionContext, text, resolver);

    xalanc::XPathEnvSupportDefault envSupport(manager);
    xalanc::XObjectFactoryDefault objectFactory(manager);
    xalanc::XPathExecutionContextDefault executionContext(envSupport, domSupport, objectFactory);
    // The document node is the context, so a relative path reads as one from the root.
    const xalanc::XObjectPtr result = xpath.execute(&document, resolver, executionContext);
    print(*result, out);
    return 0;
}

} // namespace

int PRSMXslTransformer::doXPath(Dom2Dom& doc, const I18NString& expression, std::ostream& out)
{
    // A failed parse keeps its own status and leaves the stored report alone.
    if (doc.m_inputInitialized && doc.m_parseResult != 0)
        return doc.m_parseResult;
    if (doc.GetDocument() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoDocument, m_lastError);

    auto work = [&]
    {
        return evaluateAndPrint(m_xalanTransformer->getMemoryManager(), *doc.GetDocument(),
                                expression, out);
    };
    return prsm::detail::runReporting(prsm::detail::ReportingOperation::XPath, m_lastError, work);
}
