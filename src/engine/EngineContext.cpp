// What every engine of one transformer shares: its memory, its execution context and the
// engine's last error text.
#include "engine/EngineContext.hpp"

#include "engine/Engine.hpp"
#include "engine/EngineStatus.hpp"
#include "engine/LocaleFunctors.hpp"
#include "engine/MessageRelay.hpp"
#include "engine/SourceDocument.hpp"
#include "engine/StylesheetCache.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/DOMStringPrintWriter.hpp>
#include <xalanc/XSLT/StylesheetExecutionContextDefault.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XalanTransformer/XalanTransformerProblemListener.hpp>

#include <chrono>

namespace prsm::detail
{
namespace
{

// The compiled stylesheet of the file `name`: the process's kept one while the file is
// unchanged, else a new one, kept for the next call. A stylesheet that fails to compile is never
// kept, so every call reports the failure again.
SharedStylesheet compiledStylesheet(Engine& engine, const I18NString& name,
                                    PRSMXslStylesheetUse& use)
{
    const std::optional<StylesheetKey> key = StylesheetKey::of(name.c_str());
    StylesheetCache& cache = StylesheetCache::instance();
    if (key)
    {
        if (SharedStylesheet kept = cache.find(*key))
        {
            use = PRSMXslStylesheetUse{true, 0.0};
            return kept;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    SharedStylesheet compiled =
        engine.compile(xalanc::XSLTInputSource(toEngine(name), engineMemory()));
    use = PRSMXslStylesheetUse{
        false, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
    if (key)
        cache.insert(*key, compiled);
    return compiled;
}

} // namespace

xalanc::MemoryManager& engineMemory()
{
    return xalanc::XalanMemMgrs::getDefaultXercesMemMgr();
}

// The context and its locale functors live as long as the transformer, as in the engine's own
// transformer: building them (the collator above all) costs more than a small transformation.
EngineContext::EngineContext()
    : m_executionContext(
          std::make_unique<xalanc::StylesheetExecutionContextDefault>(engineMemory())),
      m_localeFunctors(std::make_unique<LocaleFunctors>(*m_executionContext, engineMemory()))
{
}

EngineContext::~EngineContext() = default;

int EngineContext::parse(const xalanc::XSLTInputSource& source,
                         std::unique_ptr<SourceDocument>& document)
{
    auto work = [&]
    {
        document = SourceDocument::parse(engineMemory(), source);
        return 0;
    };
    return runWithEngineStatus(m_lastError, xalanc::XalanDOMString(engineMemory()), work);
}

int EngineContext::transform(const SourceDocument& source, const I18NString& stylesheet,
                             xalanc::XSLTResultTarget& target, const EngineTables& tables)
{
    xalanc::XalanDOMString collected(engineMemory());
    auto work = [&]
    {
        run(source, stylesheet, target, tables, collected);
        return 0;
    };
    return runWithEngineStatus(m_lastError, collected, work);
}

void EngineContext::run(const SourceDocument& source, const I18NString& stylesheet,
                        xalanc::XSLTResultTarget& target, const EngineTables& tables,
                        xalanc::XalanDOMString& collected)
{
    xalanc::MemoryManager& manager = engineMemory();
    // Errors the engine reports before it throws are collected; warnings go nowhere.
    xalanc::DOMStringPrintWriter writer(collected);
    xalanc::XalanTransformerProblemListener listener(manager, nullptr, &writer);
    MessageRelay relay(listener, m_messageSink);
    Engine engine(manager, tables, *m_executionContext, relay);
    m_lastStylesheetUse = PRSMXslStylesheetUse();
    const SharedStylesheet compiled = compiledStylesheet(engine, stylesheet, m_lastStylesheetUse);
    engine.transform(source, *compiled, target);
}

} // namespace prsm::detail
