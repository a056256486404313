// Process-wide start and stop of the parser and the engine.
#include "engine/xslt/EngineStartup.hpp"

#include "engine/parse/DtdGrammarStore.hpp"
#include "engine/parse/NetworkAccessor.hpp"
#include "engine/parse/SharedDocuments.hpp"
#include "engine/stylesheets/StylesheetCache.hpp"
#include "engine/xslt/DocumentFunction.hpp"
#include "engine/xslt/EngineContext.hpp"
#include "engine/xslt/StableGenerateId.hpp"
#include "functions/exslt/ExsltInstaller.hpp"

#include <xalanc/XalanTransformer/XalanTransformer.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>

namespace prsm::detail
{
namespace
{

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

// The engine, then the EXSLT functions it lacks and the functions of its that we replace; the
// engine goes down again if they fail.
void startXalan()
{
    xalanc::XalanTransformer::initialize();
    try
    {
        installExsltFunctions(xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
        installStableGenerateId();
        DocumentFunction::install();
    }
    catch (...)
    {
        xalanc::XalanTransformer::terminate();
        throw;
    }
}

std::atomic<void (*)()> g_engineStarter{&startXalan};

// Start-up and shut-down are serialised by the caller; readers may run on any thread.
std::uint64_t g_startups = 0;
std::atomic<std::uint64_t> g_generation{0};

} // namespace

void startEngine()
{
    xercesc::XMLPlatformUtils::Initialize();
    try
    {
        installNetworkAccessor();
        g_engineStarter.load()();
    }
    catch (...)
    {
        // The host learns of the engine's failure, not of a second one while stopping the parser.
        try
        {
            xercesc::XMLPlatformUtils::Terminate();
        }
        catch (...)
        {
        }
        throw;
    }
    g_generation = ++g_startups;
}

void stopEngine()
{
    // Compiled stylesheets live in the engine's memory, which goes with the engine.
    StylesheetCache::instance().clear();
    releaseAllEngineContexts();
    // So are the DTD grammars and the shared documents; every reader and liaison that held them
    // went with its context.
    DtdGrammarStore::clear();
    SharedDocuments::instance().clear();
    uninstallExsltFunctions(xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
    g_generation = 0;
    xalanc::XalanTransformer::terminate();
    xercesc::XMLPlatformUtils::Terminate();
}

void registerEngineContext(EngineContext& context)
{
    ContextRegistry& all = registry();
    const std::lock_guard<std::mutex> guard(all.lock);
    all.contexts.insert(&context);
}

void unregisterEngineContext(EngineContext& context)
{
    ContextRegistry& all = registry();
    const std::lock_guard<std::mutex> guard(all.lock);
    all.contexts.erase(&context);
}

std::uint64_t engineGeneration()
{
    return g_generation;
}

void requireEngine(const char* operation, std::uint64_t generation)
{
    const std::uint64_t current = g_generation;
    if (current == 0)
        throw std::logic_error(std::string(operation) +
                               ": the library is not started; call QXXslTransformer_Initialize "
                               "first");
    if (generation != 0 && generation != current)
        throw std::logic_error(std::string(operation) +
                               ": the document handle was made before the library was last "
                               "stopped; make a new one");
}

void setEngineStarter(void (*starter)())
{
    g_engineStarter = starter != nullptr ? starter : &startXalan;
}

} // namespace prsm::detail
