#include "card/DriverMutex.h"

#include "card/SentMessageWait.h"

namespace card {

bool DriverMutex::lock(bool handleSentMessages) noexcept
{
    const DWORD limit = stalled_ ? 0 : timeoutMs_;
    const DWORD result = handleSentMessages ? waitHandlingSentMessages(mutex_.get(), limit)
                                            : WaitForSingleObject(mutex_.get(), limit);
    const bool owned = isOwned(result);
    stalled_ = !owned;
    return owned;
}

} // namespace card
