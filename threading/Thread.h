#pragma once
// A worker thread created suspended, with the stop flag that ends its loop.
#include "common/UniqueHandle.h"
#include "threading/CallWatch.h"
#include "threading/CriticalSection.h"

class Thread {
public:
    using StartRoutine = unsigned(__stdcall*)(void* thread);

    virtual ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // The owner resumes the thread with ResumeThread once it is ready for it.
    HANDLE threadHandle() const noexcept { return threadHandle_.get(); }

protected:
    // The routine receives this object; the thread waits, suspended, until the
    // owner resumes it.
    explicit Thread(StartRoutine routine);

    bool stopRequested();
    // Sleeps up to ms milliseconds, less when a stop is requested meanwhile,
    // so that shutdown never sits out a whole interval.
    void pauseUnlessStopped(DWORD ms);
    // Sets the stop flag and waits for the thread to end as long as its driver
    // calls keep returning, up to capMs; true when it has ended, false when it
    // is stuck in a call (or the cap is spent). Called on the window's thread,
    // which keeps handling the messages the worker sends it meanwhile.
    bool stopWithin(const CallWatch& calls, DWORD capMs) noexcept;
    // Sets the stop flag and waits without a limit: for destruction, which must
    // not free what the thread still uses.
    void stopAndWait() noexcept;

private:
    // Sets the stop flag, ends a pause under way and lets a thread never
    // resumed run to its end; false when there is no thread.
    bool requestStop() noexcept;

    UniqueKernelHandle threadHandle_;
    unsigned threadId_ = 0;
    CriticalSection stopLock_;
    int stopFlag_ = 0;
    // Signalled with the stop flag; ends a pause early. Manual reset: it stays set.
    UniqueKernelHandle stopEvent_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};
