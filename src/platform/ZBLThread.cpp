// The critical section and the guard that holds it.
#include "ZBLCore.hpp"

ZBLThreadLockableResource::~ZBLThreadLockableResource() = default;

ZBLThreadCriticalSection::ZBLThreadCriticalSection(int) {}

ZBLThreadCriticalSection::~ZBLThreadCriticalSection() = default;

void ZBLThreadCriticalSection::lock()
{
    m_mutex.lock();
}

void ZBLThreadCriticalSection::unlock()
{
    m_mutex.unlock();
}

ZBLThreadGuard::ZBLThreadGuard(ZBLThreadLockableResource& resource) : m_resource(resource)
{
    m_resource.lock();
}

ZBLThreadGuard::~ZBLThreadGuard()
{
    m_resource.unlock();
}
