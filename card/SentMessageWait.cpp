#include "card/SentMessageWait.h"

namespace card {

DWORD waitHandlingSentMessages(HANDLE object, DWORD timeoutMs) noexcept
{
    const bool limited = timeoutMs != INFINITE;
    const Deadline deadline(limited ? timeoutMs : 0);
    for (;;) {
        // MWMO_INPUTAVAILABLE: also wake for a message that arrived before the wait began.
        const DWORD result = MsgWaitForMultipleObjectsEx(
            1, &object, limited ? deadline.remainingMs() : INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result != WAIT_OBJECT_0 + 1) {
            return result;
        }
        // Peeking for sent messages delivers them; nothing is removed from the queue.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace card
