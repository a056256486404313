// Transformation of one handle's document into another handle's target, by a private engine.
#include "Dom2Dom.hpp"
#include "PRSMXslTransformer.hpp"
#include "QxXsltFunction.hpp"
#include "transformer/EngineStrings.hpp"
#include "transformer/FailureReport.hpp"
#include "transformer/QuietErrorHandler.hpp"

#include <xalanc/ICUBridge/ICUBridgeCollationCompareFunctor.hpp>
#include <xalanc/ICUBridge/ICUFormatNumberFunctor.hpp>
#include <xalanc/XPath/XObjectFactoryDefault.hpp>
#include <xalanc/XPath/XPathFactoryDefault.hpp>
#include <xalanc/XSLT/StylesheetConstructionContextDefault.hpp>
#include <xalanc/XSLT/StylesheetExecutionContextDefault.hpp>
#include <xalanc/XSLT/XSLTEngineImpl.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTProcessorEnvSupportDefault.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>
#include <xalanc/XalanDOM/XalanDocument.hpp>
#include <xalanc/XalanExtensions/FunctionNodeSet.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDOMSupport.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeParserLiaison.hpp>
#include <xalanc/XalanTransformer/XalanTransformer.hpp>

#include <map>
#include <memory>

namespace
{

using prsm::detail::engineString;
using ParamTable = std::map<I18NString, I18NString>;
using FunctionTable = std::map<I18NString, std::unique_ptr<QxXsltFunction>>;

// The collation and number formatting that the engine's own transformer installs into its
// execution context. Without them a private engine sorts by code point and ignores the patterns
// of format-number, and its results would differ from those of the file transformations.
class LocaleFunctors
{
public:
    LocaleFunctors(xalanc::StylesheetExecutionContextDefault& context,
                   xalanc::MemoryManager& manager)
        : m_context(context), m_manager(manager)
    {
        m_collation = xalanc::ICUBridgeCollationCompareFunctor::create(manager, true);
        m_context.installCollationCompareFunctor(m_collation);
        try
        {
            m_formatNumber = xalanc::ICUFormatNumberFunctor::create(manager);
        }
        catch (...)
        {
            // The destructor does not run for a half-built object; undo the first installation.
            release();
            throw;
        }
        m_context.installFormatNumberFunctor(m_formatNumber);
    }

    LocaleFunctors(const LocaleFunctors&) = delete;
    LocaleFunctors& operator=(const LocaleFunctors&) = delete;

    ~LocaleFunctors() { release(); }

private:
    void release() noexcept
    {
        if (m_formatNumber != nullptr)
        {
            m_context.uninstallFormatNumberFunctor();
            xalanc::XalanDestroy(m_manager, *m_formatNumber);
        }
        m_context.uninstallCollationCompareFunctor();
        xalanc::XalanDestroy(m_manager, *m_collation);
    }

    xalanc::StylesheetExecutionContextDefault& m_context;
    xalanc::MemoryManager& m_manager;
    xalanc::ICUBridgeCollationCompareFunctor* m_collation = nullptr;
    xalanc::ICUFormatNumberFunctor* m_formatNumber = nullptr;
};

// One transformation by an engine assembled for the call. Every engine object lives in this
// frame, so an exception leaves with all of them destroyed. The stylesheet document belongs to
// the parser liaison and goes with it.
int transformWithPrivateEngine(xalanc::MemoryManager& manager, xalanc::XalanDocument& document,
                               const I18NString& stylesheet, xalanc::XSLTResultTarget& target,
                               const ParamTable& params, const FunctionTable& functions)
{
    xalanc::XalanSourceTreeDOMSupport domSupport;
    xalanc::XalanSourceTreeParserLiaison parserLiaison(domSupport, manager);
    domSupport.setParserLiaison(&parserLiaison);
    // Parse errors of the stylesheet and of documents it loads are reported, never printed.
    parserLiaison.setErrorHandler(&prsm::detail::quietErrorHandler());
    xalanc::XSLTProcessorEnvSupportDefault envSupport(manager);

    envSupport.installExternalFunctionLocal(engineString(kXalanExtensionNamespace),
                                            engineString("nodeset"), xalanc::FunctionNodeSet(true));
    const xalanc::XalanDOMString prsmNamespace = engineString(kPRSMExtensionNamespace);
    for (const auto& [name, function] : functions)
        envSupport.installExternalFunctionLocal(prsmNamespace, engineString(name), *function);

    xalanc::XObjectFactoryDefault objectFactory(manager, 10, 10, 10, 5);
    xalanc::XPathFactoryDefault xpathFactory(manager);
    xalanc::XSLTEngineImpl engine(manager, parserLiaison, envSupport, domSupport, objectFactory,
                                  xpathFactory);
    envSupport.setProcessor(&engine);

    xalanc::XSLTInputSource source(manager);
    source.setNode(&document);

    xalanc::XPathFactoryDefault stylesheetXPathFactory(manager);
    xalanc::StylesheetConstructionContextDefault constructionContext(
        manager, engine, stylesheetXPathFactory, 1024, 128, 128, 128, 32, 512);
    xalanc::StylesheetExecutionContextDefault executionContext(manager, engine, envSupport,
                                                               domSupport, objectFactory);
    const LocaleFunctors localeFunctors(executionContext, manager);

    const xalanc::XalanDOMString stylesheetName = engineString(stylesheet);
    const xalanc::XSLTInputSource stylesheetFile(stylesheetName, manager);
    xalanc::XalanDocument* const stylesheetDocument =
        parserLiaison.parseXMLStream(stylesheetFile, xalanc::XalanDOMString(manager));
    xalanc::XSLTInputSource stylesheetSource(stylesheetDocument, manager);
    // Keeps relative references in the stylesheet (xsl:include, document()) working.
    stylesheetSource.setSystemId(stylesheetFile.getSystemId());

    for (const auto& [name, value] : params)
        engine.setStylesheetParam(engineString(name), engineString(value));

    engine.process(source, stylesheetSource, target, constructionContext, executionContext);
    return 0;
}

} // namespace

int PRSMXslTransformer::doTransform(Dom2Dom& source, const I18NString& stylesheet, Dom2Dom& result)
{
    // These tests come before any engine object is built; a failed parse keeps its own status
    // and leaves the stored report alone.
    if (source.m_inputInitialized && source.m_parseResult != 0)
        return source.m_parseResult;
    if (source.GetDocument() == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoDocument, m_lastError);
    if (result.m_resultTarget == nullptr)
        return prsm::detail::refuse(prsm::detail::Refusal::NoTarget, m_lastError);
    if (&source == &result)
        return prsm::detail::refuse(prsm::detail::Refusal::SameHandle, m_lastError);

    auto work = [&]
    {
        return transformWithPrivateEngine(m_xalanTransformer->getMemoryManager(),
                                          *source.GetDocument(), stylesheet, *result.m_resultTarget,
                                          m_stylesheetParams, m_externalFunctions);
    };
    return prsm::detail::runReporting(prsm::detail::ReportingOperation::Transform, m_lastError,
                                      work);
}
