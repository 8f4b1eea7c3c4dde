// The card's commands run off the window's thread: one stuck in the driver
// holds up only its own thread.
#include <gtest/gtest.h>

#include "card/lamps/LedProcess.h"
#include "res/resource.h"
#include "card_fixtures.h"
#include "threading/CommandRunner.h"

#include <atomic>

using namespace card_test;
using Outcome = CommandRunner::Outcome;

namespace {

constexpr DWORD kCapMs = 10000;

// What a driver call that does not return looks like to its caller: it blocks
// until the gate opens (at the latest when the gate goes).
class Gate {
public:
    Gate() : open_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Gate() { open(); }
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;

    void pass(CallWatch& calls)
    {
        {
            const CallWatch::Call call(calls);
            entered = true;
            WaitForSingleObject(open_.get(), INFINITE);
        }
        returned = true;
    }
    void open() { SetEvent(open_.get()); }

    std::atomic<bool> entered{false};
    std::atomic<bool> returned{false};

private:
    UniqueKernelHandle open_;
};

} // namespace

TEST(CommandRunner, ACommandStuckInTheDriverHoldsUpOnlyItsOwnThread)
{
    Gate gate;
    CallWatch calls;
    CommandRunner runner;
    EXPECT_EQ(Outcome::StillRunning, runner.run([&] { gate.pass(calls); }, calls, kCapMs));
    EXPECT_TRUE(gate.entered);
    std::atomic<int> ran{0};
    const double before = nowMs();
    EXPECT_EQ(Outcome::Dropped, runner.run([&] { ++ran; }, calls, kCapMs)) << "its turn never came";
    EXPECT_LT(nowMs() - before, kCapMs / 2.0) << "dropped at once, not after the cap";
    EXPECT_EQ(0, ran.load());
    EXPECT_FALSE(runner.waitUntilIdle(calls, kCapMs));

    // The shutdown's reset runs beside it.
    EXPECT_EQ(Outcome::Done, runner.runBeside([&] { ++ran; }, calls, kCapMs));
    EXPECT_EQ(1, ran.load());

    // Once the call has returned it is no longer stuck.
    gate.open();
    ASSERT_TRUE(waitUntil([&] { return gate.returned.load(); }));
    EXPECT_TRUE(runner.waitUntilIdle(calls, kCapMs));
    EXPECT_EQ(Outcome::Done, runner.run([&] { ++ran; }, calls, kCapMs));
    EXPECT_EQ(2, ran.load());
}

// A slow bus is not a stuck one: calls that keep returning are waited for,
// past the second after which a call that does not return counts as stuck.
TEST(CommandRunner, ACommandWhoseCallsKeepReturningIsWaitedForAsIsTheOneBeforeIt)
{
    CallWatch calls;
    CommandRunner runner;
    std::mutex mutex;
    std::vector<int> order;
    auto note = [&](int command) {
        std::lock_guard<std::mutex> hold(mutex);
        order.push_back(command);
    };
    auto slowCalls = [&](int command) {
        for (int call = 0; call < 12; ++call) {
            const CallWatch::Call inFlight(calls);
            Sleep(150);
        }
        note(command);
    };
    EXPECT_EQ(Outcome::StillRunning, runner.run([&] { slowCalls(1); }, calls, 0)) << "past its cap";
    EXPECT_EQ(Outcome::Done, runner.run([&] { slowCalls(2); }, calls, kCapMs));
    EXPECT_EQ((std::vector<int>{1, 2}), order);
}

// The polling thread's lamp updates reach the window's thread while it waits.
TEST(CommandRunner, WhileWaitingItHandlesWhatOtherThreadsSendToTheWaitingOne)
{
    LampPanel panel;
    CallWatch calls;
    CommandRunner runner;
    const HWND lamp = GetDlgItem(panel.window(), IDC_LED0);
    EXPECT_EQ(Outcome::Done,
              runner.run([lamp] { SendMessageA(lamp, BM_SETCHECK, BST_CHECKED, 0); }, calls, kCapMs));
    EXPECT_TRUE(panel.lit(0));
}
