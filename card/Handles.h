#pragma once
// Owners for the kernel and GDI objects the card code creates: each handle has
// exactly one owner, and the owner's release rule is part of its type.
#include <windows.h>

#include <utility>

namespace card {

template <typename Handle, auto Release>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }

    void reset(Handle handle = nullptr) noexcept
    {
        if (handle_ != nullptr) {
            Release(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

// Mutexes and threads; all of ours report failure as null, never INVALID_HANDLE_VALUE.
using UniqueKernelHandle = UniqueHandle<HANDLE, &CloseHandle>;
using UniqueLibrary = UniqueHandle<HMODULE, &FreeLibrary>;
// A DC from CreateDC: deleted, not released.
using UniqueCreatedDC = UniqueHandle<HDC, &DeleteDC>;

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
