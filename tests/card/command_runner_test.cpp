// The card's commands run off the window's thread: one stuck in the driver
// holds up only its own thread.
#include <gtest/gtest.h>

#include "card_fixtures.h"
#include "card/CommandRunner.h"
#include "card/LedProcess.h"

#include <atomic>

using namespace card_test;
using Outcome = card::CommandRunner::Outcome;

namespace {

// What a driver call that does not return looks like to its caller: it blocks
// until the gate opens (at the latest when the gate goes).
class Gate {
public:
    Gate() : open_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Gate() { open(); }
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;

    void pass()
    {
        entered = true;
        WaitForSingleObject(open_.get(), INFINITE);
    }
    void open() { SetEvent(open_.get()); }

    std::atomic<bool> entered{false};

private:
    card::UniqueKernelHandle open_;
};

} // namespace

TEST(CommandRunner, ACommandStuckInTheDriverHoldsUpOnlyItsOwnThread)
{
    Gate gate;
    card::CommandRunner runner;
    EXPECT_EQ(Outcome::StillRunning, runner.run([&] { gate.pass(); }, 100));
    EXPECT_TRUE(gate.entered);
    std::atomic<int> ran{0};
    EXPECT_EQ(Outcome::Dropped, runner.run([&] { ++ran; }, 100)) << "its turn never came";
    EXPECT_EQ(0, ran.load());
    EXPECT_FALSE(runner.waitUntilIdle(0));

    // The shutdown's reset runs beside it.
    EXPECT_EQ(Outcome::Done, runner.runBeside([&] { ++ran; }, 10000));
    EXPECT_EQ(1, ran.load());

    gate.open();
    EXPECT_TRUE(runner.waitUntilIdle(10000));
    EXPECT_EQ(Outcome::Done, runner.run([&] { ++ran; }, 10000));
    EXPECT_EQ(2, ran.load());
}

TEST(CommandRunner, ACommandWaitsForTheOneBeforeItWhenThatEndsInTime)
{
    card::CommandRunner runner;
    std::mutex mutex;
    std::vector<int> order;
    auto note = [&](int command) {
        std::lock_guard<std::mutex> hold(mutex);
        order.push_back(command);
    };
    EXPECT_EQ(Outcome::StillRunning, runner.run(
                                         [&] {
                                             Sleep(300);
                                             note(1);
                                         },
                                         0));
    EXPECT_EQ(Outcome::Done, runner.run([&] { note(2); }, 10000));
    EXPECT_EQ((std::vector<int>{1, 2}), order);
}

// The polling thread's lamp updates reach the window's thread while it waits.
TEST(CommandRunner, WhileWaitingItHandlesWhatOtherThreadsSendToTheWaitingOne)
{
    LampPanel panel;
    card::CommandRunner runner;
    const HWND lamp = GetDlgItem(panel.window(), kFirstLampId);
    EXPECT_EQ(Outcome::Done, runner.run([lamp] { SendMessageA(lamp, BM_SETCHECK, BST_CHECKED, 0); }, 10000));
    EXPECT_TRUE(panel.lit(0));
}
