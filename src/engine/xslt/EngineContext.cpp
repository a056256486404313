// What every engine of one transformer shares: its memory, its execution context and the
// engine's last error text.
#include "engine/xslt/EngineContext.hpp"

#include "engine/limits/LimitException.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/parse/SourceDocument.hpp"
#include "engine/stylesheets/StylesheetCache.hpp"
#include "engine/xslt/Engine.hpp"
#include "engine/xslt/EngineStatus.hpp"
#include "engine/xslt/EngineSupport.hpp"
#include "engine/xslt/GuardedExecutionContext.hpp"
#include "engine/xslt/LocaleFunctors.hpp"
#include "engine/xslt/LocatingProblemListener.hpp"
#include "engine/xslt/MessageRelay.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/DOMStringPrintWriter.hpp>
#include <xalanc/PlatformSupport/XalanMemoryManagerDefault.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>

#include <chrono>
#include <mutex>
#include <set>

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
    // The parser's own manager goes when the parser stops; this one never goes, so a handle or
    // a transformer that the host destroys after the last stop still frees into a live manager.
    // It throws the parser's out-of-memory exception, which the parser knows how to unwind.
    static xalanc::XalanMemoryManagerDefault& manager = *new xalanc::XalanMemoryManagerDefault;
    return manager;
}

// Every live context, so that stopping the engine can release what each made with it.
struct ContextRegistry
{
    std::mutex lock;
    std::set<EngineContext*> contexts;
};

ContextRegistry& registry()
{
    static ContextRegistry contexts;
    return contexts;
}

void releaseAllEngineContexts() noexcept
{
    ContextRegistry& all = registry();
    const std::lock_guard<std::mutex> guard(all.lock);
    for (EngineContext* context : all.contexts)
        context->releaseEngineObjects();
}

EngineContext::EngineContext()
{
    ContextRegistry& all = registry();
    const std::lock_guard<std::mutex> guard(all.lock);
    all.contexts.insert(this);
}

EngineContext::~EngineContext()
{
    {
        ContextRegistry& all = registry();
        const std::lock_guard<std::mutex> guard(all.lock);
        all.contexts.erase(this);
    }
    releaseEngineObjects();
}

void EngineContext::releaseEngineObjects() noexcept
{
    m_engineSupport.reset();
    m_localeFunctors.reset();
    m_executionContext.reset();
    m_readers.clear();
}

// The support, the context and its locale functors live from the first transformation to the
// engine's stop, as in the engine's own transformer: building them (the collator above all) and
// installing the functions cost more than a small transformation.
EngineSupport& EngineContext::engineSupport()
{
    if (!m_engineSupport)
    {
        auto context = std::make_unique<GuardedExecutionContext>(engineMemory());
        m_localeFunctors = std::make_unique<LocaleFunctors>(*context, engineMemory());
        m_executionContext = std::move(context);
        m_engineSupport =
            std::make_unique<EngineSupport>(engineMemory(), *m_executionContext, m_readers);
    }
    return *m_engineSupport;
}

int EngineContext::parse(const xalanc::XSLTInputSource& source,
                         std::unique_ptr<SourceDocument>& document, OperationGuard& guard)
{
    guard.setResolver(&m_resolver);
    auto work = [&]
    {
        document = SourceDocument::parse(engineMemory(), source, guard, &m_readers);
        return 0;
    };
    return runWithEngineStatus(m_lastError, xalanc::XalanDOMString(engineMemory()), work);
}

int EngineContext::transform(const SourceDocument& source, const I18NString& stylesheet,
                             xalanc::XSLTResultTarget& target, const EngineTables& tables,
                             OperationGuard& guard)
{
    xalanc::XalanDOMString collected(engineMemory());
    ProblemPlace place;
    auto work = [&]
    {
        run(source, stylesheet, target, tables, guard, collected, place);
        return 0;
    };
    return runWithEngineStatus(m_lastError, collected, work);
}

void EngineContext::run(const SourceDocument& source, const I18NString& stylesheet,
                        xalanc::XSLTResultTarget& target, const EngineTables& tables,
                        OperationGuard& guard, xalanc::XalanDOMString& collected,
                        ProblemPlace& place)
{
    if (m_isRunning)
        throw LimitException("this transformer is already running a transformation; a host "
                             "function may not start another on it (use another transformer)",
                             nullptr);
    // Marks the transformation as running until it ends, however it ends.
    class Running
    {
    public:
        explicit Running(bool& flag) : m_flag(flag) { m_flag = true; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
        ~Running() { m_flag = false; }

    private:
        bool& m_flag;
    } running(m_isRunning);
    guard.setResolver(&m_resolver);
    xalanc::MemoryManager& manager = engineMemory();
    // Errors the engine reports before it throws are collected with their place; messages and
    // warnings go to the sink, or nowhere.
    xalanc::DOMStringPrintWriter writer(collected);
    LocatingProblemListener listener(manager, &writer, place);
    MessageRelay relay(listener, m_messageSink);
    Engine engine(engineSupport(), tables, relay, guard);
    m_lastStylesheetUse = PRSMXslStylesheetUse();
    const SharedStylesheet compiled = compiledStylesheet(engine, stylesheet, m_lastStylesheetUse);
    engine.transform(source, *compiled, target);
}

} // namespace prsm::detail
