// Norvik_Tallo.exe against a driver that does not answer, or answers late, and
// against clicks sent to it while it waits for the card.
#include <gtest/gtest.h>

#include "program_driver.h"

#include <string>

using namespace nt_test;

namespace {

// Far more than the program may take to end, whatever the driver does.
constexpr DWORD kEndsWithinMs = 20000;
// A call is stuck after a second; the shutdown then writes its reset and ends.
// A loose guard against waiting on a stuck call, not a speed target.
constexpr double kEndsBesideAStuckCallWithinMs = 2000;
// A click while a call is known to be stuck is dropped at once.
constexpr DWORD kAtOnceMs = 1000;
constexpr UINT kTrayNotify = WM_USER + 1;

// The next transaction on a register hangs: for ms, or with 0 for good.
sim::SimSettings blockingNext(int reg, int reading, int ms = 0)
{
    sim::SimSettings settings = sim::withRegister25(reading);
    settings.blockRegister = reg;
    settings.blockMs = ms;
    return settings;
}

void blockNext(Running& app, int reg, int reading, int ms = 0)
{
    app.installed().sim().apply(blockingNext(reg, reading, ms));
}

bool waitForBlocks(Running& app, std::size_t count)
{
    return waitUntil([&] { return app.blocks() >= count; });
}

// The card's reset is the last thing the controller saw, and the program ended
// within withinMs of startMs.
void expectEndedWithTheReset(Running& app, double startMs = 0, double withinMs = kEndsWithinMs)
{
    ASSERT_TRUE(app.program().waitForExit(kEndsWithinMs)) << "the program hangs";
    if (startMs > 0) {
        EXPECT_LT(nowMs() - startMs, withinMs);
    }
    EXPECT_EQ(0u, app.program().exitCode());
    const Writes reset = resetWrites(app.board());
    EXPECT_EQ(reset, app.installed().lastTransactions(reset.size()));
}

// Takes a way out while a call is stuck: the program ends soon after, with the
// reset written beside the stuck call, and its icon gone.
void expectAWayOutEndsItBesideAStuckCall(Running& app, const WayOut& wayOut)
{
    const HWND tray = app.program().trayWindow();
    wayOut.take(app);
    expectEndedWithTheReset(app, nowMs(), kEndsBesideAStuckCallWithinMs);
    EXPECT_FALSE(trayIconShown(tray));
}

struct StuckPass {
    const WayOut* wayOut;
    const Board* board;
};

void PrintTo(const StuckPass& stuck, std::ostream* out)
{
    *out << stuck.wayOut->name << " on the " << stuck.board->name;
}

class HangInAPass : public ::testing::TestWithParam<StuckPass> {};

TEST_P(HangInAPass, TheWindowAnswersAndTheProgramEndsWithTheResetLast)
{
    Running app(*GetParam().board, 40);
    app.switchOn();
    blockNext(app, 25, 40);
    ASSERT_TRUE(waitForBlocks(app, 1));
    EXPECT_TRUE(repaints(app.window()));
    expectAWayOutEndsItBesideAStuckCall(app, *GetParam().wayOut);
}

INSTANTIATE_TEST_SUITE_P(Driver, HangInAPass,
                         ::testing::Values(StuckPass{&kWaysOut[0], &kRadeon6900},
                                           StuckPass{&kWaysOut[1], &kGeForce580},
                                           StuckPass{&kWaysOut[2], &kGeForce580}),
                         [](const auto& info) {
                             return std::string(info.param.wayOut->name) + "Model" +
                                    std::to_string(info.param.board->model);
                         });

TEST(Driver, AResetStuckAtStartLetsTheWindowShowAndCloseEndsIt)
{
    Running app(kRadeon6900, blockingNext(23, 0));
    ASSERT_NE(nullptr, app.window());
    EXPECT_TRUE(IsWindowVisible(app.window()));
    EXPECT_TRUE(repaints(app.window()));
    // Nothing gets past the stuck reset, and nobody waits for it again.
    app.press(IDC_ON);
    EXPECT_TRUE(press(app.window(), IDC_APPLY, kAtOnceMs));
    EXPECT_TRUE(app.writesSinceMark().empty());
    expectAWayOutEndsItBesideAStuckCall(app, kWaysOut[0]);
}

TEST(Driver, AHangInTheEnableSetCostsOneSecondOnceAndTheCardStaysPolled)
{
    Running app(kGeForce580, 40);
    // Register 19 comes after 23, 1 to 7, 17 and 18 in the first enable.
    blockNext(app, 19, 40);
    app.press(IDC_ON);
    EXPECT_TRUE(press(app.window(), IDC_APPLY));
    EXPECT_TRUE(waitForBlocks(app, 1));
    EXPECT_TRUE(repaints(app.window()));
    // Polling was switched on before the writes: 40 shows six lamps on this board.
    EXPECT_TRUE(app.lampsBecome("111111000000"));

    // A command behind the stuck one is dropped at once rather than queued.
    app.mark();
    app.press(IDC_OFF);
    EXPECT_TRUE(press(app.window(), IDC_APPLY, kAtOnceMs));
    EXPECT_TRUE(repaints(app.window()));
    Sleep(500);
    EXPECT_TRUE(app.writesSinceMark().empty());

    // The enable got under way, so once the driver answers again Off reaches
    // the card: the enable's last five writes (19 to 23), then the short disable set.
    app.setReading(40);
    ASSERT_TRUE(waitUntil([&] { return app.writesSinceMark().size() == 5; })) << "the enable set ends";
    app.mark();
    app.press(IDC_APPLY);
    EXPECT_EQ(6u, app.settledWrites().size());
    EXPECT_EQ(app.allLit(), app.lamps());

    click(app.window(), IDC_CLOSE);
    expectEndedWithTheReset(app);
}

TEST(Driver, AReadLateAfterPollingWasSwitchedOffNeverChangesTheLamps)
{
    Running app(kRadeon6900, 40);
    app.switchOn();
    ASSERT_TRUE(app.lampsBecome("11110000000000"));

    // Off while a pass waits for a slow read of a new reading: the lamps are lit for good.
    blockNext(app, 25, 70, 3000);
    ASSERT_TRUE(waitForBlocks(app, 1));
    const int readsAtBlock = app.installed().reads();
    app.mark();
    app.press(IDC_OFF);
    EXPECT_TRUE(press(app.window(), IDC_APPLY));
    EXPECT_EQ(app.allLit(), app.lamps());
    ASSERT_TRUE(waitUntil([&] { return app.installed().reads() > readsAtBlock; })) << "the read came back";
    Sleep(1000);
    EXPECT_EQ(app.allLit(), app.lamps()) << "the late pass changed the lamps";
    EXPECT_EQ(kRadeon6900Disable, app.writesSinceMark());

    // The card still works.
    app.switchOn();
    EXPECT_TRUE(app.lampsBecome("11111111110000"));
    click(app.window(), IDC_CLOSE);
    expectEndedWithTheReset(app);
}

// Clicks sent while the program waits for the card (the wait handles messages
// sent from other programs) each run after the command under way.
TEST(Driver, CommandsSentWhileTheCardIsBusyWaitTheirTurn)
{
    Running app(kRadeon6900, 40);
    const Writes reset = resetWrites(app.board());
    auto writesOnceSettled = [&](std::size_t atMost) {
        waitUntil([&] { return app.writesSinceMark().size() >= atMost; }, 5000);
        return app.writesSinceMark();
    };

    // Reset while a Reset waits for a slow pass: the card is reset once.
    app.switchOn();
    EXPECT_TRUE(app.lampsBecome("11110000000000"));
    blockNext(app, 25, 41, 1500);
    EXPECT_TRUE(waitForBlocks(app, 1));
    app.mark();
    click(app.window(), IDC_RESET);
    Sleep(200);
    app.press(IDC_RESET);
    EXPECT_EQ(reset, writesOnceSettled(2 * reset.size()));
    EXPECT_TRUE(checked(app.window(), IDC_OFF));
    EXPECT_EQ(app.allLit(), app.lamps());

    // Reset while the enable set is written slowly: it follows the set.
    sim::SimSettings slow = sim::withRegister25(40);
    slow.delayMs = 20;
    app.installed().sim().apply(slow);
    app.press(IDC_ON);
    app.mark();
    click(app.window(), IDC_APPLY);
    ASSERT_TRUE(waitUntil([&] { return !app.writesSinceMark().empty(); }));
    app.press(IDC_RESET);
    const Writes enableThenReset = joined({kRadeon6900Enable, reset});
    EXPECT_EQ(enableThenReset, writesOnceSettled(enableThenReset.size()));
    EXPECT_EQ(app.allLit(), app.lamps());
    click(app.window(), IDC_CLOSE);
    expectEndedWithTheReset(app);
}

// The shell's callbacks are sent, so they arrive inside the program's waits;
// the menu runs a loop of its own and must not start in there.
TEST(Driver, TheIconsMenuOpensOnlyOnceTheCommandUnderWayHasEnded)
{
    Running app(kRadeon6900, 40);
    sim::SimSettings slow = sim::withRegister25(40);
    slow.delayMs = 60;
    app.installed().sim().apply(slow);
    app.press(IDC_ON);
    app.mark();
    click(app.window(), IDC_APPLY);
    ASSERT_TRUE(waitUntil([&] { return !app.writesSinceMark().empty(); }));
    SendNotifyMessageW(app.program().trayWindow(), kTrayNotify, 1, WM_RBUTTONDOWN);

    HWND menu = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (menu = app.program().openMenu()) != nullptr; }))
        << "the click was lost";
    EXPECT_EQ(kRadeon6900Enable, app.writesSinceMark()) << "the menu opened inside the wait for the card";
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(waitUntil([&] { return app.program().openMenu() == nullptr; }));
    click(app.window(), IDC_CLOSE);
    expectEndedWithTheReset(app);
}

// Transactions of 100 ms: the reset takes seconds and is written whole.
// Meanwhile nothing that is sent to the program undoes the shutdown or shows
// the window again.
TEST(Driver, OnASlowBusTheShutdownWritesTheWholeResetAndNothingUndoesIt)
{
    Running app(kRadeon6900, 40);
    app.switchOn();
    ASSERT_TRUE(app.lampsBecome("11110000000000"));
    sim::SimSettings slow = sim::withRegister25(40);
    slow.delayMs = 100;
    app.installed().sim().apply(slow);
    const HWND tray = app.program().trayWindow();

    app.mark();
    click(app.window(), IDC_CLOSE);
    ASSERT_TRUE(waitUntil([&] { return !app.writesSinceMark().empty(); })) << "the reset began";
    for (const int id : {IDC_RESET, IDC_ON, IDC_APPLY}) {
        press(app.window(), id, 2000);
    }
    DWORD_PTR result = 0;
    SendMessageTimeoutW(app.window(), WM_COMMAND, ID_SYSTRAY_RESTORE, 0, SMTO_NORMAL, 2000, &result);
    SendNotifyMessageW(tray, kTrayNotify, 1, WM_LBUTTONDBLCLK);
    SendNotifyMessageW(tray, kTrayNotify, 1, WM_RBUTTONDOWN);
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(app.window())) << "shown again on its way out";
    EXPECT_EQ(nullptr, app.program().openMenu());

    expectEndedWithTheReset(app);
    EXPECT_EQ(resetWrites(app.board()), app.writesSinceMark());
}

} // namespace
