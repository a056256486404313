// Process-wide start and stop of the parser and the engine.
#include "engine/EngineStartup.hpp"

#include "engine/StylesheetCache.hpp"
#include "functions/exslt/ExsltInstaller.hpp"

#include <xalanc/XalanTransformer/XalanTransformer.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include <atomic>

namespace prsm::detail
{
namespace
{

// The engine, then the EXSLT functions it lacks; the engine goes down again if they fail.
void startXalan()
{
    xalanc::XalanTransformer::initialize();
    try
    {
        installExsltFunctions(xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
    }
    catch (...)
    {
        xalanc::XalanTransformer::terminate();
        throw;
    }
}

std::atomic<void (*)()> g_engineStarter{&startXalan};

} // namespace

void startEngine()
{
    xercesc::XMLPlatformUtils::Initialize();
    try
    {
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
}

void stopEngine()
{
    // Compiled stylesheets live in the engine's memory, which goes with the engine.
    StylesheetCache::instance().clear();
    uninstallExsltFunctions(xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
    xalanc::XalanTransformer::terminate();
    xercesc::XMLPlatformUtils::Terminate();
}

void setEngineStarter(void (*starter)())
{
    g_engineStarter = starter != nullptr ? starter : &startXalan;
}

} // namespace prsm::detail
