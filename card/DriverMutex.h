#pragma once
// A mutex held around calls into the vendor's driver library.
#include "card/Handles.h"

#include <atomic>

namespace card {

// Every wait for it is limited and goes on after a time-out. A holder stuck in
// a driver call that never returns would still cost each later wait its whole
// limit (a reset is 38 writes): after one wait has timed out, the following
// ones only try, until one gets the mutex again.
class DriverMutex {
public:
    explicit DriverMutex(DWORD timeoutMs) noexcept
        : mutex_(CreateMutexA(nullptr, FALSE, nullptr)), timeoutMs_(timeoutMs)
    {
    }

    // True when the mutex is now ours. On the window's thread, handleSentMessages
    // lets the lamp updates of a pass that holds it through.
    bool lock(bool handleSentMessages = false) noexcept;
    void unlock() noexcept { ReleaseMutex(mutex_.get()); }

    // Known to be held by a thread stuck in the driver: the next wait only tries.
    void markStalled() noexcept { stalled_ = true; }

private:
    UniqueKernelHandle mutex_;
    DWORD timeoutMs_;
    std::atomic<bool> stalled_{false};
};

// Holds a DriverMutex for a scope when the wait gets it.
class DriverMutexLock {
public:
    explicit DriverMutexLock(DriverMutex& mutex, bool handleSentMessages = false) noexcept
        : mutex_(mutex), owned_(mutex.lock(handleSentMessages))
    {
    }
    ~DriverMutexLock()
    {
        if (owned_) {
            mutex_.unlock();
        }
    }
    DriverMutexLock(const DriverMutexLock&) = delete;
    DriverMutexLock& operator=(const DriverMutexLock&) = delete;

    bool owned() const noexcept { return owned_; }

private:
    DriverMutex& mutex_;
    bool owned_;
};

} // namespace card
