// The engine of an XPath query over one document.
#include "engine/XPathEngine.hpp"

#include "engine/EngineContext.hpp"
#include "engine/ParserLiaison.hpp"
#include "functions/QuietConstructionContext.hpp"

#include <xalanc/DOMSupport/XalanDocumentPrefixResolver.hpp>
#include <xalanc/XPath/XObjectFactoryDefault.hpp>
#include <xalanc/XPath/XPath.hpp>
#include <xalanc/XPath/XPathEnvSupportDefault.hpp>
#include <xalanc/XPath/XPathExecutionContextDefault.hpp>
#include <xalanc/XPath/XPathProcessorImpl.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>

namespace prsm::detail
{

// Assembled as the engine's XPathEvaluator does, with a construction context that keeps quiet.
// Each object is declared before those that refer to it, so the result goes first and the
// strings the expression keeps go last.
void evaluateXPath(xalanc::XalanDocument& document, const xalanc::XalanDOMString& expression,
                   FunctionRef<void(const xalanc::XObject&)> use)
{
    xalanc::MemoryManager& manager = engineMemory();
    ParserLiaison liaison(manager);
    DocumentSupport domSupport(liaison);

    const xalanc::XalanDocumentPrefixResolver resolver(&document, xalanc::XalanDOMString(manager),
                                                       manager);
    QuietConstructionContext constructionContext(manager);
    xalanc::XPath xpath(manager);
    xalanc::XPathProcessorImpl processor(manager);
    processor.initXPath(xpath, constructionContext, expression, resolver);

    xalanc::XPathEnvSupportDefault envSupport(manager);
    xalanc::XObjectFactoryDefault objectFactory(manager);
    xalanc::XPathExecutionContextDefault executionContext(envSupport, domSupport, objectFactory);
    const xalanc::XObjectPtr result = xpath.execute(&document, resolver, executionContext);
    use(*result);
}

} // namespace prsm::detail
