// The one place where an engine is assembled, for every transformation path.
#include "engine/Engine.hpp"

#include "PRSMXslTransformer.hpp"
#include "engine/LimitException.hpp"
#include "engine/OperationGuard.hpp"
#include "engine/SourceDocument.hpp"
#include "engine/XPathCompiler.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>
#include <xalanc/XalanExtensions/FunctionNodeSet.hpp>
#include <xalanc/XalanSourceTree/XalanSourceTreeDocument.hpp>

namespace prsm::detail
{

Engine::Engine(xalanc::MemoryManager& manager, const EngineTables& tables,
               xalanc::ProblemListener& listener, OperationGuard& guard)
    : m_manager(manager), m_liaison(manager), m_domSupport(m_liaison), m_envSupport(manager),
      m_objectFactory(manager), m_xpathFactory(manager),
      m_processor(manager, m_liaison, m_envSupport, m_domSupport, m_objectFactory, m_xpathFactory),
      m_guard(guard), m_constructionContext(manager, m_processor, m_xpathFactory, guard),
      m_executionContext(manager, m_processor, m_envSupport, m_domSupport, m_objectFactory, guard),
      m_localeFunctors(m_executionContext, manager)
{
    m_envSupport.setProcessor(&m_processor);
    m_liaison.setExecutionContext(m_executionContext);
    m_liaison.setGuard(&guard);
    m_processor.setProblemListener(&listener);

    for (const auto& [name, expression] : tables.parameters)
    {
        checkParameter(name, expression, guard);
        m_processor.setStylesheetParam(toEngine(name), toEngine(expression));
    }

    m_envSupport.installExternalFunctionLocal(toEngine(kXalanExtensionNamespace),
                                              toEngine("nodeset"), xalanc::FunctionNodeSet(true));
    const xalanc::XalanDOMString extensionNamespace = toEngine(kPRSMExtensionNamespace);
    for (const auto& [name, function] : tables.functions)
        m_envSupport.installExternalFunctionLocal(extensionNamespace, toEngine(name), *function);
}

Engine::~Engine()
{
    m_envSupport.setProcessor(nullptr);
}

void Engine::transform(const SourceDocument& source, const xalanc::XSLTInputSource& stylesheet,
                       xalanc::XSLTResultTarget& target)
{
    xalanc::XalanSourceTreeDocument& document = source.document();
    // Registered under its URL, so document() of the source's own name reuses the parsed tree.
    if (!source.uri().empty())
        m_envSupport.setSourceDocument(source.uri(), &document);
    xalanc::XSLTInputSource input(&document, m_manager);
    input.setSystemId(source.uri().c_str());
    m_liaison.setHostInput(&stylesheet);
    m_processor.process(input, stylesheet, target, m_constructionContext, m_executionContext);
    m_liaison.setHostInput(nullptr);
    if (const std::string* failure = m_guard.failure())
        throw LimitException(*failure, nullptr);
}

xalanc::XalanDocument* Engine::parse(const xalanc::XSLTInputSource& source)
{
    m_liaison.setHostInput(&source);
    xalanc::XalanDocument* document =
        m_liaison.parseXMLStream(source, xalanc::XalanDOMString(m_manager));
    m_liaison.setHostInput(nullptr);
    return document;
}

} // namespace prsm::detail
