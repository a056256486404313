// What the engines of one transformer keep from one transformation to the next.
#include "engine/xslt/EngineSupport.hpp"

#include "PRSMXslTransformer.hpp"
#include "engine/xslt/GuardedExecutionContext.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/XalanExtensions/FunctionNodeSet.hpp>

namespace prsm::detail
{

EngineSupport::EngineSupport(xalanc::MemoryManager& manager, GuardedExecutionContext& context,
                             IdleReader& idleReader)
    : m_manager(manager), m_liaison(manager), m_domSupport(m_liaison), m_envSupport(manager),
      m_objectFactory(manager), m_xpathFactory(manager), m_context(context)
{
    m_liaison.setIdleReader(&idleReader);
    m_liaison.setExecutionContext(m_context);
    m_context.setXPathEnvSupport(&m_envSupport);
    m_context.setDOMSupport(&m_domSupport);
    m_context.setXObjectFactory(&m_objectFactory);
    m_envSupport.installExternalFunctionLocal(toEngine(kXalanExtensionNamespace),
                                              toEngine("nodeset"), xalanc::FunctionNodeSet(true));
}

EngineSupport::~EngineSupport()
{
    m_context.setXPathEnvSupport(nullptr);
    m_context.setDOMSupport(nullptr);
    m_context.setXObjectFactory(nullptr);
}

void EngineSupport::installFunctions(const EngineTables& tables)
{
    if (tables.functionsRevision == m_installedRevision)
        return;
    const xalanc::XalanDOMString extensionNamespace = toEngine(kPRSMExtensionNamespace);
    // Forgotten first, so that a failure part way leaves no revision half installed as if whole.
    m_installedRevision = 0;
    for (const I18NString& name : m_installed)
        m_envSupport.uninstallExternalFunctionLocal(extensionNamespace, toEngine(name));
    m_installed.clear();
    for (const auto& [name, function] : tables.functions)
    {
        m_envSupport.installExternalFunctionLocal(extensionNamespace, toEngine(name), *function);
        m_installed.push_back(name);
    }
    m_installedRevision = tables.functionsRevision;
}

} // namespace prsm::detail
