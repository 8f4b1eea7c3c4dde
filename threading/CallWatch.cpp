#include "threading/CallWatch.h"

namespace {

constexpr int kThreadShift = 32;

std::uint64_t slotValue(DWORD threadId, DWORD startTick)
{
    return static_cast<std::uint64_t>(threadId) << kThreadShift | startTick;
}

} // namespace

CallWatch::Call::Call(CallWatch& watch) noexcept
{
    const std::uint64_t value = slotValue(GetCurrentThreadId(), GetTickCount());
    for (std::atomic<std::uint64_t>& slot : watch.slots_) {
        std::uint64_t free = 0;
        if (slot.compare_exchange_strong(free, value)) {
            slot_ = &slot;
            return;
        }
    }
}

CallWatch::Call::~Call()
{
    if (slot_ != nullptr) {
        slot_->store(0);
    }
}

DWORD CallWatch::msUntilStuck(DWORD threadId) const noexcept
{
    for (const std::atomic<std::uint64_t>& slot : slots_) {
        const std::uint64_t value = slot.load();
        if (value != 0 && static_cast<DWORD>(value >> kThreadShift) == threadId) {
            // Unsigned: the tick count wraps after 49 days.
            const DWORD elapsed = GetTickCount() - static_cast<DWORD>(value);
            return elapsed >= kStuckAfterMs ? 0 : kStuckAfterMs - elapsed;
        }
    }
    return kStuckAfterMs;
}
