#include "platform/Sync.h"

#include <cassert>

void InitializeCriticalSection(LPCRITICAL_SECTION section)
{
    assert(section != nullptr && section->mutex == nullptr);
    section->mutex = new std::recursive_mutex;
}

void EnterCriticalSection(LPCRITICAL_SECTION section)
{
    assert(section != nullptr && section->mutex != nullptr);
    section->mutex->lock();
}

void LeaveCriticalSection(LPCRITICAL_SECTION section)
{
    assert(section != nullptr && section->mutex != nullptr);
    section->mutex->unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION section)
{
    assert(section != nullptr);
    delete section->mutex;
    section->mutex = nullptr;
}
