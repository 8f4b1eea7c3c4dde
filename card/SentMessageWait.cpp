#include "card/SentMessageWait.h"

namespace card {

DWORD waitHandlingSentMessages(HANDLE object) noexcept
{
    for (;;) {
        // MWMO_INPUTAVAILABLE: also wake for a message that arrived before the wait began.
        const DWORD result =
            MsgWaitForMultipleObjectsEx(1, &object, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (result != WAIT_OBJECT_0 + 1) {
            return result;
        }
        // Peeking for sent messages delivers them; nothing is removed from the queue.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace card
