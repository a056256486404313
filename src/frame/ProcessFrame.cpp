// Counted process-wide start and stop of the parser and the engine.
#include "frame/ProcessFrame.hpp"

#include "PRSMXslTransformer.hpp"
#include "frame/LoadTimeObjects.hpp"
#include "functions/exslt/ExsltInstaller.hpp"

#include <xalanc/XalanTransformer/XalanTransformer.hpp>
#include <xercesc/util/PlatformUtils.hpp>

namespace
{

std::int32_t g_initCount = 0; // guarded by g_initLock

} // namespace

long QXXslTransformer_Initialize(const char*)
{
    ZBLThreadGuard guard(prsm::detail::g_initLock);
    if (g_initCount == 0)
    {
        xercesc::XMLPlatformUtils::Initialize();
        try
        {
            xalanc::XalanTransformer::initialize();
            prsm::detail::installExsltFunctions(xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
        }
        catch (...)
        {
            // Leave the parser down too, so the next call retries the whole start-up. The host
            // learns of the engine's failure, not of a second one while stopping the parser.
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
    // Counted only after start-up returned, so a start-up that throws can simply be retried.
    ++g_initCount;
    return 0;
}

long QXXslTransformer_Terminate(const char*)
{
    ZBLThreadGuard guard(prsm::detail::g_initLock);
    // An unmatched call finds nothing outstanding and does nothing.
    if (g_initCount == 0)
        return 0;
    if (g_initCount == 1)
    {
        prsm::detail::uninstallExsltFunctions(xalanc::XalanMemMgrs::getDefaultXercesMemMgr());
        xalanc::XalanTransformer::terminate();
        xercesc::XMLPlatformUtils::Terminate();
    }
    --g_initCount;
    return 0;
}

std::int32_t prsm::detail::outstandingInitializations()
{
    ZBLThreadGuard guard(prsm::detail::g_initLock);
    return g_initCount;
}
