#pragma once
// Runs the card's commands off the window's thread.
#include "card/Handles.h"

#include <functional>
#include <vector>

namespace card {

// Runs the card's commands (enable, disable, reset) one at a time, each on a
// thread of its own, and waits for each a limited time while handling the
// messages other threads send to the caller (the polling thread's lamp
// updates). A driver call that never returns then holds up only its command's
// thread: the window's thread goes on, and the program can still end.
class CommandRunner {
public:
    enum class Outcome {
        Done,         // the command has ended
        StillRunning, // it goes on after the wait; the next one waits its turn
        Dropped,      // not run: the one before was still running, or this
                      // runner was already waiting further up the caller's stack
    };

    CommandRunner() = default;
    // A command still running goes on: its thread owns what it runs.
    ~CommandRunner() = default;
    CommandRunner(const CommandRunner&) = delete;
    CommandRunner& operator=(const CommandRunner&) = delete;

    // Waits for the command before it to end, then for this one, both within timeoutMs.
    Outcome run(std::function<void()> command, DWORD timeoutMs);
    // Runs the command at once, even beside one still running (stuck in the
    // driver): the shutdown's reset.
    Outcome runBeside(std::function<void()> command, DWORD timeoutMs);
    // Waits up to timeoutMs for every command started so far; true when none runs any more.
    bool waitUntilIdle(DWORD timeoutMs);

private:
    Outcome start(std::function<void()> command, DWORD timeoutMs);

    std::vector<UniqueKernelHandle> running_; // threads of commands not known to have ended
    // A wait of this runner is on the caller's stack: a command sent to the
    // caller meanwhile is dropped rather than run inside the wait it interrupts.
    bool waiting_ = false;
};

} // namespace card
