#pragma once
// Runs the card's commands off the window's thread.
#include "common/UniqueHandle.h"
#include "threading/CallWatch.h"

#include <functional>
#include <vector>

// Runs the card's commands (enable, disable, reset) one at a time, each on a
// thread of its own, and waits for each as long as its driver calls keep
// returning (up to a cap), while handling the messages other threads send to
// the caller (the polling thread's lamp updates). A driver call that never
// returns then holds up only its command's thread, and the caller only until
// the call is known to be stuck.
class CommandRunner {
public:
    enum class Outcome {
        Done,         // the command has ended
        StillRunning, // started, and goes on after the wait (stuck, or slower than the cap)
        Dropped,      // never started: the one before is stuck or did not end
                      // within the cap, or this runner was already waiting
                      // further up the caller's stack
    };

    CommandRunner() = default;
    // A command still running goes on: its thread owns what it runs.
    ~CommandRunner() = default;
    CommandRunner(const CommandRunner&) = delete;
    CommandRunner& operator=(const CommandRunner&) = delete;

    // Waits for the commands before it to end, then for this one, all within
    // capMs; calls are the driver calls of the card the commands drive.
    Outcome run(std::function<void()> command, const CallWatch& calls, DWORD capMs);
    // Runs the command at once, even beside one still running (stuck in the
    // driver): the shutdown's reset.
    Outcome runBeside(std::function<void()> command, const CallWatch& calls, DWORD capMs);
    // Waits up to capMs for every command started so far, as long as each
    // makes progress; true when none runs any more.
    bool waitUntilIdle(const CallWatch& calls, DWORD capMs);

private:
    struct Started {
        UniqueKernelHandle thread;
        DWORD threadId;
    };

    Outcome start(std::function<void()> command, const CallWatch& calls, DWORD capMs);

    std::vector<Started> running_; // commands not known to have ended
    // A wait of this runner is on the caller's stack: a command sent to the
    // caller meanwhile is dropped rather than run inside the wait it interrupts.
    bool waiting_ = false;
};
