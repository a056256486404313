// Counted process-wide start and stop of the parser and the engine.
#include "frame/ProcessFrame.hpp"

#include "PRSMXslTransformer.hpp"
#include "engine/stylesheets/StylesheetCache.hpp"
#include "engine/xslt/EngineStartup.hpp"

namespace
{

// Serialises process-wide start and stop; nothing else takes it. Made on first use, so no other
// load-time object has to exist before it.
ZBLThreadCriticalSection& initLock()
{
    static ZBLThreadCriticalSection lock(1);
    return lock;
}

std::int32_t g_initCount = 0; // guarded by initLock()

} // namespace

long QXXslTransformer_Initialize(const char*)
{
    ZBLThreadGuard guard(initLock());
    if (g_initCount == 0)
        prsm::detail::startEngine();
    // Counted only after start-up returned, so a start-up that throws can simply be retried.
    ++g_initCount;
    return 0;
}

long QXXslTransformer_Terminate(const char*)
{
    ZBLThreadGuard guard(initLock());
    // An unmatched call finds nothing outstanding and does nothing.
    if (g_initCount == 0)
        return 0;
    if (g_initCount == 1)
        prsm::detail::stopEngine();
    --g_initCount;
    return 0;
}

std::int32_t prsm::detail::outstandingInitializations()
{
    ZBLThreadGuard guard(initLock());
    return g_initCount;
}

void QXXslTransformer_SetStylesheetCacheSize(std::size_t entries)
{
    prsm::detail::StylesheetCache::instance().setCapacity(entries);
}

void QXXslTransformer_ClearStylesheetCache()
{
    prsm::detail::StylesheetCache::instance().clear();
}
