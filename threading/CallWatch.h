#pragma once
// Which threads are inside a call into the vendor's driver, and since when:
// the one way the card's waits tell a bus that answers slowly from a call that
// will not return. Read without a lock, from any thread.
#include <windows.h>

#include <atomic>
#include <cstdint>

// A driver call that has not returned for this long is stuck; one that returns
// is progress.
constexpr DWORD kStuckAfterMs = 1000;

class CallWatch {
public:
    CallWatch() = default;
    CallWatch(const CallWatch&) = delete;
    CallWatch& operator=(const CallWatch&) = delete;

    // Marks the calling thread as inside a driver call for the span of a scope.
    class Call {
    public:
        explicit Call(CallWatch& watch) noexcept;
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        std::atomic<std::uint64_t>* slot_ = nullptr; // null: no slot was free, the call goes unwatched
    };

    // The thread's call under way has not returned for kStuckAfterMs.
    bool stuck(DWORD threadId) const noexcept { return msUntilStuck(threadId) == 0; }
    // How long from now until it would be stuck: kStuckAfterMs when the thread
    // is in no call, as a call it starts now can be stuck no sooner.
    DWORD msUntilStuck(DWORD threadId) const noexcept;

private:
    // Callers at once: the polling thread, a command, the shutdown's reset
    // beside a stuck command, and one to spare.
    static constexpr int kSlots = 4;
    // The thread's identifier in the high half, the call's start tick in the
    // low half; 0 is a free slot (no thread has identifier 0).
    std::atomic<std::uint64_t> slots_[kSlots];
    static_assert(std::atomic<std::uint64_t>::is_always_lock_free, "read from any thread without a lock");
};
