#include "card/CommandRunner.h"

#include "card/SentMessageWait.h"
#include "common/ScopedFlag.h"

#include <memory>
#include <process.h>

namespace card {

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

CommandRunner::Outcome CommandRunner::run(Command command, DWORD timeoutMs)
{
    if (waiting_) {
        return Outcome::Dropped;
    }
    const Deadline deadline(timeoutMs);
    if (!waitUntilIdle(deadline.remainingMs())) {
        return Outcome::Dropped;
    }
    return start(std::move(command), deadline.remainingMs());
}

CommandRunner::Outcome CommandRunner::runBeside(Command command, DWORD timeoutMs)
{
    if (waiting_) {
        return Outcome::Dropped;
    }
    return start(std::move(command), timeoutMs);
}

bool CommandRunner::waitUntilIdle(DWORD timeoutMs)
{
    if (waiting_) {
        return running_.empty();
    }
    const ScopedFlag waiting(waiting_);
    const Deadline deadline(timeoutMs);
    while (!running_.empty()) {
        if (waitHandlingSentMessages(running_.front().get(), deadline.remainingMs()) != WAIT_OBJECT_0) {
            return false;
        }
        running_.erase(running_.begin());
    }
    return true;
}

CommandRunner::Outcome CommandRunner::start(Command command, DWORD timeoutMs)
{
    auto owned = std::make_unique<Command>(std::move(command));
    UniqueKernelHandle thread(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &commandThread, owned.get(), 0, nullptr)));
    if (!thread) {
        // No thread to spare: run it here, as it would run without a runner.
        runCaught(*owned);
        return Outcome::Done;
    }
    static_cast<void>(owned.release()); // the thread's now
    const ScopedFlag waiting(waiting_);
    if (waitHandlingSentMessages(thread.get(), timeoutMs) == WAIT_OBJECT_0) {
        return Outcome::Done;
    }
    running_.push_back(std::move(thread));
    return Outcome::StillRunning;
}

} // namespace card
