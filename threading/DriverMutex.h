#pragma once
// A mutex held around calls into the vendor's driver library.
#include "common/UniqueHandle.h"
#include "threading/CallWatch.h"

#include <atomic>

// Every wait for it is limited and goes on after a time-out. It ends early,
// after one last try, once its holder is known to be stuck in a driver call
// (as the calls watched say): a holder that never returns then costs a wait
// nothing, and a holder that is merely slow is waited for as before.
class DriverMutex {
public:
    DriverMutex(const CallWatch& calls, DWORD timeoutMs) noexcept
        : mutex_(CreateMutexA(nullptr, FALSE, nullptr)), calls_(calls), timeoutMs_(timeoutMs)
    {
    }

    // True when the mutex is now ours. On the window's thread, handleSentMessages
    // lets the lamp updates of a pass that holds it through.
    bool lock(bool handleSentMessages = false) noexcept;
    void unlock() noexcept;

private:
    UniqueKernelHandle mutex_;
    const CallWatch& calls_; // not owned: the stream's, which outlives this mutex
    DWORD timeoutMs_;
    std::atomic<DWORD> holder_{0}; // the thread that holds it; 0 when none does
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
