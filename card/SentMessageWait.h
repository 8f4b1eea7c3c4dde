#pragma once
// Waits on the window's thread for something the card's threads hold.
#include <windows.h>

namespace card {

// Waits up to timeoutMs (INFINITE: no limit) for one object, and meanwhile
// handles the messages other threads send to this thread's windows: the
// polling thread may be blocked sending a lamp update here. Posted messages
// stay queued, so no input is handled re-entrantly; a message sent from
// another process (a click) is handled, though. Returns the wait's result for
// the object (WAIT_OBJECT_0, WAIT_ABANDONED_0, WAIT_TIMEOUT or WAIT_FAILED).
DWORD waitHandlingSentMessages(HANDLE object, DWORD timeoutMs = INFINITE) noexcept;

// A point in time a few waits share: each may take what is left of it.
class Deadline {
public:
    explicit Deadline(DWORD fromNowMs) noexcept : end_(GetTickCount64() + fromNowMs) {}
    DWORD remainingMs() const noexcept
    {
        const ULONGLONG now = GetTickCount64();
        return now >= end_ ? 0 : static_cast<DWORD>(end_ - now);
    }

private:
    ULONGLONG end_;
};

} // namespace card
