#include "threading/DriverMutex.h"

#include "threading/Waits.h"

bool DriverMutex::lock(bool handleSentMessages) noexcept
{
    if (waitWhileAnswering(mutex_.get(), calls_, holder_, timeoutMs_, handleSentMessages) !=
        WaitEnd::Signalled) {
        return false;
    }
    holder_ = GetCurrentThreadId();
    return true;
}

void DriverMutex::unlock() noexcept
{
    holder_ = 0;
    ReleaseMutex(mutex_.get());
}
