// What every engine of one transformer shares: its execution context, its limits and the
// engine's last error text.
#include "engine/xslt/EngineContext.hpp"

#include "engine/documents/ResultDocuments.hpp"
#include "engine/limits/OperationGuard.hpp"
#include "engine/parse/FileNameUri.hpp"
#include "engine/parse/SourceDocument.hpp"
#include "engine/stylesheets/StylesheetCache.hpp"
#include "engine/xslt/Engine.hpp"
#include "engine/xslt/EngineStartup.hpp"
#include "engine/xslt/EngineStatus.hpp"
#include "engine/xslt/EngineSupport.hpp"
#include "engine/xslt/GuardedExecutionContext.hpp"
#include "engine/xslt/LocaleFunctors.hpp"
#include "engine/xslt/LocatingProblemListener.hpp"
#include "engine/xslt/MessageRelay.hpp"
#include "platform/EngineMemory.hpp"
#include "platform/EngineText.hpp"

#include <xalanc/PlatformSupport/DOMStringPrintWriter.hpp>
#include <xalanc/XSLT/XSLTInputSource.hpp>
#include <xalanc/XSLT/XSLTResultTarget.hpp>

#include <filesystem>
#include <sstream>

namespace prsm::detail
{
EngineContext::EngineContext()
{
    registerEngineContext(*this);
}

EngineContext::~EngineContext()
{
    unregisterEngineContext(*this);
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
        StylesheetCache::instance().readAhead();
        document = SourceDocument::parse(engineMemory(), source, guard, &m_readers);
        return 0;
    };
    const FailurePhase phase = FailurePhase::Parse;
    // The parser names no file when it cannot open one; the failure names it from here.
    ProblemPlace place;
    place.uri = utf8Of(source.getSystemId());
    return runWithEngineStatus(m_lastError, m_lastFailure, xalanc::XalanDOMString(engineMemory()),
                               phase, guard, &place, work);
}

int EngineContext::transform(const SourceDocument& source, const StylesheetSource& stylesheet,
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
    return runWithEngineStatus(m_lastError, m_lastFailure, collected, m_phase, guard, &place, work);
}

int EngineContext::prepare(const StylesheetSource& stylesheet, const EngineTables& tables,
                           OperationGuard& guard)
{
    xalanc::XalanDOMString collected(engineMemory());
    ProblemPlace place;
    auto keep = [](Engine&, const xalanc::XalanCompiledStylesheet&) {};
    auto work = [&]
    {
        compileThen(stylesheet, tables, guard, collected, place, keep);
        return 0;
    };
    return runWithEngineStatus(m_lastError, m_lastFailure, collected, m_phase, guard, &place, work);
}

void EngineContext::run(const SourceDocument& source, const StylesheetSource& stylesheet,
                        xalanc::XSLTResultTarget& target, const EngineTables& tables,
                        OperationGuard& guard, xalanc::XalanDOMString& collected,
                        ProblemPlace& place)
{
    auto transform = [&](Engine& engine, const xalanc::XalanCompiledStylesheet& compiled)
    {
        m_phase = FailurePhase::Transform;
        ResultDocuments documents(m_writePolicy, utf8Of(target.getFileName()));
        engine.transform(source, compiled, target, documents);
    };
    compileThen(stylesheet, tables, guard, collected, place, transform);
}

void EngineContext::compileThen(
    const StylesheetSource& stylesheet, const EngineTables& tables, OperationGuard& guard,
    xalanc::XalanDOMString& collected, ProblemPlace& place,
    FunctionRef<void(Engine&, const xalanc::XalanCompiledStylesheet&)> then)
{
    guard.setResolver(&m_resolver);
    xalanc::MemoryManager& manager = engineMemory();
    // The parser names no file when it cannot open the stylesheet; the failure names it from
    // here until the engine reports a place of its own.
    place.uri = stylesheet.name;
    // Errors the engine reports before it throws are collected with their place; messages and
    // warnings go to the sink, or nowhere.
    xalanc::DOMStringPrintWriter writer(collected);
    LocatingProblemListener listener(manager, &writer, place);
    MessageRelay relay(listener, m_messageSink);
    // Set only once the engine exists: a refused nested call must not relabel the running one.
    Engine engine(engineSupport(), tables, relay, guard);
    m_phase = FailurePhase::Compile;
    m_lastStylesheetUse = PRSMXslStylesheetUse();
    auto compile = [&](std::vector<std::string>& modules)
    {
        if (stylesheet.text == nullptr)
            return engine.compile(
                xalanc::XSLTInputSource(systemIdOfName(toEngine(stylesheet.name.c_str())), manager),
                modules);
        std::istringstream text(*stylesheet.text);
        xalanc::XSLTInputSource input(&text, manager);
        if (!stylesheet.name.empty())
        {
            // The engine resolves relative modules against a URL only: a path becomes one.
            std::string base = stylesheet.name;
            if (base.find(':') == std::string::npos)
                base = "file://" + std::filesystem::absolute(base).string();
            input.setSystemId(toEngine(base.c_str()).c_str());
        }
        return engine.compile(input, modules);
    };
    std::optional<StylesheetKey> key = stylesheet.text == nullptr
                                           ? StylesheetKey::of(stylesheet.name, m_limits)
                                           : std::optional<StylesheetKey>(StylesheetKey::ofText(
                                                 *stylesheet.text, stylesheet.name, m_limits));
    // A lenient compilation accepts what a strict one refuses: the two are kept apart.
    if (key && tables.lenient)
        key->limits += " xsltproc-compatible";
    const SharedStylesheet compiled =
        StylesheetCache::instance().obtain(key, m_lastStylesheetUse, compile);
    then(engine, *compiled);
}

} // namespace prsm::detail
