#include "threading/CommandRunner.h"

#include "common/ScopedFlag.h"
#include "threading/Waits.h"

#include <memory>
#include <process.h>

namespace {

using Command = std::function<void()>;

void runCaught(const Command& command) noexcept
{
    try {
        command();
    } catch (...) {
        // A command that fails ends like one that returns; nothing is reported.
    }
}

unsigned __stdcall commandThread(void* command)
{
    const std::unique_ptr<Command> owned(static_cast<Command*>(command));
    runCaught(*owned);
    return 0;
}

} // namespace

CommandRunner::Outcome CommandRunner::run(Command command, const CallWatch& calls, DWORD capMs)
{
    if (waiting_) {
        return Outcome::Dropped;
    }
    const Deadline cap(capMs);
    // One before it that is stuck is not waited for: the click is dropped at once.
    if (!waitUntilIdle(calls, cap.remainingMs())) {
        return Outcome::Dropped;
    }
    return start(std::move(command), calls, cap.remainingMs());
}

CommandRunner::Outcome CommandRunner::runBeside(Command command, const CallWatch& calls, DWORD capMs)
{
    if (waiting_) {
        return Outcome::Dropped;
    }
    return start(std::move(command), calls, capMs);
}

bool CommandRunner::waitUntilIdle(const CallWatch& calls, DWORD capMs)
{
    if (waiting_) {
        return running_.empty();
    }
    const ScopedFlag waiting(waiting_);
    const Deadline cap(capMs);
    while (!running_.empty()) {
        const Started& first = running_.front();
        if (waitWhileAnswering(first.thread.get(), calls, first.threadId, cap.remainingMs(), true) !=
            WaitEnd::Signalled) {
            return false;
        }
        running_.erase(running_.begin());
    }
    return true;
}

CommandRunner::Outcome CommandRunner::start(Command command, const CallWatch& calls, DWORD capMs)
{
    auto owned = std::make_unique<Command>(std::move(command));
    unsigned threadId = 0;
    UniqueKernelHandle thread(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &commandThread, owned.get(), 0, &threadId)));
    if (!thread) {
        // No thread to spare: run it here, as it would run without a runner.
        runCaught(*owned);
        return Outcome::Done;
    }
    static_cast<void>(owned.release()); // the thread's now
    const ScopedFlag waiting(waiting_);
    if (waitWhileAnswering(thread.get(), calls, threadId, capMs, true) == WaitEnd::Signalled) {
        return Outcome::Done;
    }
    running_.push_back({std::move(thread), threadId});
    return Outcome::StillRunning;
}
