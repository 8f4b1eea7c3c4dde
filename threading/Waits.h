#pragma once
// Waits on the window's thread for something the card's threads hold.
#include "threading/CallWatch.h"

#include <windows.h>

#include <atomic>

// Waits up to timeoutMs (INFINITE: no limit) for one object, and meanwhile
// handles the messages other threads send to this thread's windows: the
// polling thread may be blocked sending a lamp update here. Posted messages
// stay queued, so no input is handled re-entrantly; a message sent from
// another process (a click) is handled, though. Returns the wait's result for
// the object (WAIT_OBJECT_0, WAIT_ABANDONED_0, WAIT_TIMEOUT or WAIT_FAILED).
DWORD waitHandlingSentMessages(HANDLE object, DWORD timeoutMs = INFINITE) noexcept;

// A point in time a few waits share: each may take what is left of it.
// INFINITE never comes.
class Deadline {
public:
    explicit Deadline(DWORD fromNowMs) noexcept
        : end_(fromNowMs == INFINITE ? kNever : GetTickCount64() + fromNowMs)
    {
    }
    DWORD remainingMs() const noexcept
    {
        if (end_ == kNever) {
            return INFINITE;
        }
        const ULONGLONG now = GetTickCount64();
        return now >= end_ ? 0 : static_cast<DWORD>(end_ - now);
    }

private:
    static constexpr ULONGLONG kNever = ~0ULL;
    ULONGLONG end_;
};

// How a wait on the card ended.
enum class WaitEnd {
    Signalled, // the thread has ended, or the mutex is ours
    Stuck,     // the watched thread is in a driver call that has not returned for kStuckAfterMs
    OutOfTime, // the bus answers, but the wait's cap is spent
    Failed,    // the object cannot be waited for
};

// Waits for the object as long as the watched thread's driver calls keep
// returning: it ends once that thread's call under way is stuck, and in any
// case after capMs (INFINITE: no cap). The watched thread may change while the
// wait lasts (a mutex's holder). On the window's thread handleSentMessages
// lets the lamp updates of the polling thread through.
WaitEnd waitWhileAnswering(HANDLE object, const CallWatch& calls, const std::atomic<DWORD>& watchedThread,
                           DWORD capMs, bool handleSentMessages) noexcept;
WaitEnd waitWhileAnswering(HANDLE object, const CallWatch& calls, DWORD watchedThread, DWORD capMs,
                           bool handleSentMessages) noexcept;
