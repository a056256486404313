// The one place where an engine is assembled, for every transformation path.
#include "engine/Engine.hpp"

#include "PRSMXslTransformer.hpp"
#include "engine/CompiledStylesheet.hpp"
#include "engine/GuardedExecutionContext.hpp"
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
               GuardedExecutionContext& context, xalanc::ProblemListener& listener,
               OperationGuard& guard)
    : m_manager(manager), m_liaison(manager), m_domSupport(m_liaison), m_envSupport(manager),
      m_objectFactory(manager), m_xpathFactory(manager),
      m_processor(manager, m_liaison, m_envSupport, m_domSupport, m_objectFactory, m_xpathFactory),
      m_context(context), m_guard(guard)
{
    m_envSupport.setProcessor(&m_processor);
    m_liaison.setExecutionContext(m_context);
    m_liaison.setGuard(&guard);
    m_processor.setProblemListener(&listener);
    m_context.setXPathEnvSupport(&m_envSupport);
    m_context.setDOMSupport(&m_domSupport);
    m_context.setXObjectFactory(&m_objectFactory);
    m_context.setXSLTProcessor(&m_processor);
    m_context.setGuard(&guard);

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

// Gives the context back as the engine's own transformer does after each run, ready for the
// next engine and holding nothing of this one.
Engine::~Engine()
{
    m_context.reset();
    m_context.setGuard(nullptr);
    m_context.setXPathEnvSupport(nullptr);
    m_context.setDOMSupport(nullptr);
    m_context.setXObjectFactory(nullptr);
    m_context.setXSLTProcessor(nullptr);
    m_context.reset();
    m_envSupport.setProcessor(nullptr);
}

SharedStylesheet Engine::compile(const xalanc::XSLTInputSource& source)
{
    // The host named this stylesheet, so the access policy lets it through; what it includes,
    // imports or loads is checked.
    m_liaison.setHostInput(&source);
    auto compiled =
        std::make_shared<const CompiledStylesheet>(m_manager, source, m_processor, m_guard);
    m_liaison.setHostInput(nullptr);
    throwIfStopped();
    return compiled;
}

void Engine::transform(const SourceDocument& source,
                       const xalanc::XalanCompiledStylesheet& stylesheet,
                       xalanc::XSLTResultTarget& target)
{
    xalanc::XalanSourceTreeDocument& document = source.document();
    // Registered under its URL, so document() of the source's own name reuses the parsed tree.
    if (!source.uri().empty())
        m_envSupport.setSourceDocument(source.uri(), &document);
    xalanc::XSLTInputSource input(&document, m_manager);
    input.setSystemId(source.uri().c_str());
    m_context.setStylesheetRoot(stylesheet.getStylesheetRoot());
    m_processor.process(input, target, m_context);
    throwIfStopped();
}

void Engine::throwIfStopped() const
{
    if (const std::string* failure = m_guard.failure())
        throw LimitException(*failure, nullptr);
}

} // namespace prsm::detail
