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

// Holds a mutex for a scope when the wait succeeds within the time limit; the
// callers go on after a time-out, and then have nothing to release.
class TimedMutexLock {
public:
    TimedMutexLock(HANDLE mutex, DWORD timeoutMs) noexcept
        : mutex_(mutex), owned_(isOwned(WaitForSingleObject(mutex, timeoutMs)))
    {
    }
    ~TimedMutexLock()
    {
        if (owned_) {
            ReleaseMutex(mutex_);
        }
    }
    TimedMutexLock(const TimedMutexLock&) = delete;
    TimedMutexLock& operator=(const TimedMutexLock&) = delete;

    // An abandoned mutex is ours all the same.
    static bool isOwned(DWORD waitResult) noexcept
    {
        return waitResult == WAIT_OBJECT_0 || waitResult == WAIT_ABANDONED_0;
    }

private:
    HANDLE mutex_; // not owned
    bool owned_;
};

} // namespace card
