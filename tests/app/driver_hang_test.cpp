// Norvik_Tallo.exe against a driver that does not answer, or answers late, and
// against clicks sent to it while it waits for the card.
#include <gtest/gtest.h>

#include "program_driver.h"

#include <string>

using namespace nt_test;

namespace {

// Far more than the program may take to end, whatever the driver does.
constexpr DWORD kEndsWithinMs = 20000;

// The next transaction on a register hangs: for ms, or with 0 for good.
void blockNext(Running& app, int reg, int reading, int ms = 0)
{
    sim::SimSettings settings = sim::withRegister25(reading);
    settings.blockRegister = reg;
    settings.blockMs = ms;
    app.installed().sim().apply(settings);
}

bool waitForBlocks(Running& app, std::size_t count)
{
    return waitUntil([&] { return app.blocks() >= count; });
}

// The card's reset is the last thing the controller saw.
void expectEndedWithTheReset(Running& app)
{
    ASSERT_TRUE(app.program().waitForExit(kEndsWithinMs)) << "the program hangs";
    EXPECT_EQ(0u, app.program().exitCode());
    const Writes reset = resetWrites(app.board());
    EXPECT_EQ(reset, app.installed().lastTransactions(reset.size()));
}

class HangInAPass : public ::testing::TestWithParam<WayOut> {};

TEST_P(HangInAPass, TheWindowAnswersAndTheProgramEndsWithTheResetLast)
{
    Running app(kRadeon6900, 40);
    app.switchOn();
    ASSERT_TRUE(app.lampsBecome("11110000000000"));
    blockNext(app, 25, 40);
    ASSERT_TRUE(waitForBlocks(app, 1));
    EXPECT_TRUE(answers(app.window()));

    const HWND tray = app.program().trayWindow();
    GetParam().take(app);
    expectEndedWithTheReset(app);
    EXPECT_FALSE(trayIconShown(tray));
}

INSTANTIATE_TEST_SUITE_P(Driver, HangInAPass, ::testing::ValuesIn(kWaysOut, kWaysOut + 3),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Driver, AHangInTheEnableSetLeavesTheWindowAnsweringAndTheCardPolled)
{
    Running app(kGeForce580, 40);
    // Register 19 comes after 23, 1 to 7, 17 and 18 in the first enable.
    blockNext(app, 19, 40);
    app.press(IDC_ON);
    EXPECT_TRUE(press(app.window(), IDC_APPLY));
    EXPECT_TRUE(waitForBlocks(app, 1));
    EXPECT_TRUE(answers(app.window()));
    // Polling was switched on before the writes: 40 shows six lamps on this board.
    EXPECT_TRUE(app.lampsBecome("111111000000"));

    // A command behind the stuck one is dropped rather than queued for ever.
    app.mark();
    app.press(IDC_OFF);
    EXPECT_TRUE(press(app.window(), IDC_APPLY));
    Sleep(500);
    EXPECT_TRUE(app.writesSinceMark().empty());

    click(app.window(), IDC_CLOSE);
    expectEndedWithTheReset(app);
}

TEST(Driver, ATransactionThatTakesThreeSecondsAndAnswersComesBeforeWhatFollows)
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

    // The card still works, and a close during a slow read waits for it.
    app.switchOn();
    EXPECT_TRUE(app.lampsBecome("11111111110000"));
    blockNext(app, 25, 40, 3000);
    ASSERT_TRUE(waitForBlocks(app, 2));
    click(app.window(), IDC_CLOSE);
    expectEndedWithTheReset(app);
}

// Clicks sent while the program waits for the card (the wait handles messages
// sent from other programs): each runs after the command under way, and none
// undoes the shutdown.
TEST(Driver, CommandsSentWhileTheCardIsBusyWaitTheirTurnAndNeverUndoTheShutdown)
{
    Running app(kRadeon6900, 40);
    const Writes reset = resetWrites(app.board());
    auto writesOnceSettled = [&](std::size_t atMost) {
        waitUntil([&] { return app.writesSinceMark().size() >= atMost; }, 5000);
        return app.writesSinceMark();
    };
    // Switches On, holds a pass back for 1.5 s and clicks meanwhile.
    auto clickDuringASlowPass = [&](int id) {
        app.switchOn();
        EXPECT_TRUE(app.lampsBecome("11110000000000"));
        const std::size_t blocksBefore = app.blocks();
        blockNext(app, 25, 40 + static_cast<int>(blocksBefore), 1500);
        EXPECT_TRUE(waitForBlocks(app, blocksBefore + 1));
        app.mark();
        click(app.window(), id);
        Sleep(200);
    };

    // Reset while a Reset waits for a slow pass: the card is reset once.
    clickDuringASlowPass(IDC_RESET);
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
    const Writes enableThenReset = concat(kRadeon6900Enable, reset);
    EXPECT_EQ(enableThenReset, writesOnceSettled(enableThenReset.size()));
    EXPECT_EQ(app.allLit(), app.lamps());

    // Reset, On and Apply during a shutdown that waits for a slow pass.
    clickDuringASlowPass(IDC_CLOSE);
    for (const int id : {IDC_RESET, IDC_ON, IDC_APPLY}) {
        press(app.window(), id, 5000);
    }
    expectEndedWithTheReset(app);
    EXPECT_EQ(reset, app.writesSinceMark());
}

} // namespace
