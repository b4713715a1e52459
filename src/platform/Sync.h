// Win32-shaped critical sections: a recursive lock that the thread holding it
// may take again. Qt-free, so every layer may use it.
#pragma once

#include <mutex>

struct CRITICAL_SECTION {
    std::recursive_mutex* mutex = nullptr;  // created by InitializeCriticalSection
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;

void InitializeCriticalSection(LPCRITICAL_SECTION section);
// Blocks until the calling thread owns the section; a thread that already
// owns it enters again and must leave as often as it entered.
void EnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);
// Releases the lock. The section must not be owned; it may be initialised again.
void DeleteCriticalSection(LPCRITICAL_SECTION section);
