#pragma once
// The owners and locks the card code uses: each handle has exactly one owner,
// and the owner's release rule is part of its type.
#include "common/UniqueHandle.h"

#include <windows.h>

namespace card {

using ::UniqueCreatedDC;
using ::UniqueKernelHandle;
using ::UniqueLibrary;

// A critical section usable with std::lock_guard.
class CriticalSection {
public:
    CriticalSection() noexcept { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void lock() noexcept { EnterCriticalSection(&section_); }
    void unlock() noexcept { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

// Whether a wait's result makes the mutex ours: an abandoned mutex is ours all the same.
inline bool isOwned(DWORD waitResult) noexcept
{
    return waitResult == WAIT_OBJECT_0 || waitResult == WAIT_ABANDONED_0;
}

} // namespace card
