#include "threading/Thread.h"

#include "threading/Waits.h"

#include <mutex>
#include <process.h>

Thread::Thread(StartRoutine routine)
{
    threadHandle_.reset(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, routine, this, CREATE_SUSPENDED, &threadId_)));
}

Thread::~Thread()
{
    // Normally already done by the derived class, which must outlive the loop.
    stopAndWait();
}

bool Thread::stopRequested()
{
    std::lock_guard<CriticalSection> hold(stopLock_);
    return stopFlag_ != 0;
}

void Thread::pauseUnlessStopped(DWORD ms)
{
    if (!stopEvent_) {
        Sleep(ms);
        return;
    }
    WaitForSingleObject(stopEvent_.get(), ms);
}

bool Thread::requestStop() noexcept
{
    {
        std::lock_guard<CriticalSection> hold(stopLock_);
        stopFlag_ = 1;
    }
    if (stopEvent_) {
        SetEvent(stopEvent_.get());
    }
    if (!threadHandle_) {
        return false;
    }
    // A thread never resumed would never end; once running, this does nothing.
    ResumeThread(threadHandle_.get());
    return true;
}

bool Thread::stopWithin(const CallWatch& calls, DWORD capMs) noexcept
{
    return !requestStop() ||
           waitWhileAnswering(threadHandle_.get(), calls, threadId_, capMs, true) == WaitEnd::Signalled;
}

void Thread::stopAndWait() noexcept
{
    if (requestStop()) {
        waitHandlingSentMessages(threadHandle_.get());
    }
}
