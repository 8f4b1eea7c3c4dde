#include "threading/Waits.h"

#include <algorithm>

namespace {

template <typename WatchedThread>
WaitEnd waitWhile(HANDLE object, const CallWatch& calls, WatchedThread watchedThread, DWORD capMs,
                  bool handleSentMessages) noexcept
{
    const Deadline cap(capMs);
    for (;;) {
        // Wakes when the call under way would turn stuck; a call that returned
        // meanwhile makes the next round wait afresh. Once stuck, one last try.
        const DWORD round = std::min(cap.remainingMs(), calls.msUntilStuck(watchedThread()));
        const DWORD result =
            handleSentMessages ? waitHandlingSentMessages(object, round) : WaitForSingleObject(object, round);
        if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED_0) {
            return WaitEnd::Signalled;
        }
        if (result != WAIT_TIMEOUT) {
            return WaitEnd::Failed;
        }
        if (calls.stuck(watchedThread())) {
            return WaitEnd::Stuck;
        }
        if (cap.remainingMs() == 0) {
            return WaitEnd::OutOfTime;
        }
    }
}

} // namespace

DWORD waitHandlingSentMessages(HANDLE object, DWORD timeoutMs) noexcept
{
    const Deadline deadline(timeoutMs);
    for (;;) {
        // MWMO_INPUTAVAILABLE: also wake for a message that arrived before the wait began.
        const DWORD result = MsgWaitForMultipleObjectsEx(1, &object, deadline.remainingMs(), QS_SENDMESSAGE,
                                                         MWMO_INPUTAVAILABLE);
        if (result != WAIT_OBJECT_0 + 1) {
            return result;
        }
        // Peeking for sent messages delivers them; nothing is removed from the queue.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

WaitEnd waitWhileAnswering(HANDLE object, const CallWatch& calls, const std::atomic<DWORD>& watchedThread,
                           DWORD capMs, bool handleSentMessages) noexcept
{
    return waitWhile(
        object, calls, [&watchedThread] { return watchedThread.load(); }, capMs, handleSentMessages);
}

WaitEnd waitWhileAnswering(HANDLE object, const CallWatch& calls, DWORD watchedThread, DWORD capMs,
                           bool handleSentMessages) noexcept
{
    return waitWhile(
        object, calls, [watchedThread] { return watchedThread; }, capMs, handleSentMessages);
}
