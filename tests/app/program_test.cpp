// Norvik_Tallo.exe started from outside with a simulated card: what it shows
// at start, how it refuses a card it can't use, and that it runs once.
#include <gtest/gtest.h>

#include "program_driver.h"

#include <string>

using namespace nt_test;

namespace {

void closeAndWait(const ProgramUnderTest& program, HWND window)
{
    click(window, IDC_CLOSE);
    EXPECT_TRUE(program.waitForExit(10000));
    EXPECT_EQ(0u, program.exitCode());
}

class EachBoard : public ::testing::TestWithParam<Board> {};

TEST_P(EachBoard, StartsWithItsLampsAllLitYesAndOffSelectedAndTheCardReset)
{
    const Board& board = GetParam();
    Installation installed(board);
    auto program = installed.start();
    HWND window = program->waitForShownMainWindow();
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(IsWindowVisible(window));

    for (int lamp = 0; lamp < NT_LED_COUNT; ++lamp) {
        SCOPED_TRACE("lamp " + std::to_string(lamp));
        const bool shown = lamp < board.lamps;
        EXPECT_EQ(shown, visible(window, IDC_LED0 + lamp));
        if (shown) {
            EXPECT_TRUE(checked(window, IDC_LED0 + lamp));
            const auto lit = lamp < board.greenLamps ? isGreen : isRed;
            COLORREF face = 0;
            EXPECT_TRUE(waitUntil([&] { return lit(face = averageColour(window, IDC_LED0 + lamp)); }, 3000))
                << std::hex << face;
        }
    }
    EXPECT_TRUE(checked(window, IDC_RADIO_YES));
    EXPECT_FALSE(checked(window, IDC_RADIO_NO));
    EXPECT_TRUE(checked(window, IDC_OFF));
    EXPECT_FALSE(checked(window, IDC_ON));
    EXPECT_TRUE(trayIconShown(program->trayWindow()));

    // The reset sequence is the first register traffic; polling is still off.
    EXPECT_EQ(resetWrites(board), installed.writes());
    EXPECT_EQ(0, installed.reads());

    closeAndWait(*program, window);
}

INSTANTIATE_TEST_SUITE_P(Program, EachBoard, ::testing::ValuesIn(kAllBoards),
                         [](const auto& info) { return "Model" + std::to_string(info.param.model); });

struct RefusedCard {
    const char* name;
    Board board;
    const wchar_t* variant;
    bool noAdapters;
    const wchar_t* message;
};

void PrintTo(const RefusedCard& refusal, std::ostream* out)
{
    *out << refusal.name;
}

const Board kUnsupported{"GeForce GTX 560", 4, 0x10de, 0x1201, L"nvapi", 0, 0};

const RefusedCard kRefusals[] = {
    {"Unsupported", kUnsupported, L"", false, L"Unknown Graphics Card!"},
    {"NoLibrary", kRadeon6900, nullptr, false, L"Unable to load atipdlxx.dll!"},
    {"LibraryWithoutAFunction", kRadeon6800, L"atipdlxx-norev", false,
     L"Could not find function ATIDL_xxxx!"},
    {"NoAdapter", kRadeon6900, L"", true, L"Could not find any ATI adapters in the system!"},
};

class RefusesTheCard : public ::testing::TestWithParam<RefusedCard> {};

TEST_P(RefusesTheCard, WithItsMessageUnderTheProgramsNameNoWindowAndStatusZero)
{
    const RefusedCard& refusal = GetParam();
    Installation installed(refusal.board, refusal.variant);
    if (refusal.noAdapters) {
        sim::SimSettings settings;
        settings.adapters = std::vector<int>{};
        installed.sim().apply(settings);
    }
    auto program = installed.start();
    HWND box = program->waitForMessageBox();
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(refusal.message, messageBoxText(box));
    EXPECT_EQ(L"Norvik_Tallo", windowText(box));
    HWND window = program->mainWindow();
    EXPECT_TRUE(window == nullptr || !IsWindowVisible(window));
    // No icon is left for a program that is ending.
    EXPECT_FALSE(trayIconShown(program->trayWindow()));

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(program->waitForExit(10000));
    EXPECT_EQ(0u, program->exitCode());
}

INSTANTIATE_TEST_SUITE_P(Program, RefusesTheCard, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SingleInstance, ASecondStartEndsAtOnceAndLeavesTheFirstAsItWas)
{
    Installation installed(kRadeon6900);
    auto first = installed.start();
    HWND window = first->waitForShownMainWindow();
    ASSERT_NE(nullptr, window);
    click(window, IDC_ON);
    ASSERT_TRUE(waitUntil([&] { return checked(window, IDC_ON); }));

    auto second = installed.start();
    ASSERT_TRUE(second->waitForExit(10000));
    EXPECT_EQ(0u, second->exitCode());
    EXPECT_EQ(nullptr, second->mainWindow());

    EXPECT_TRUE(first->running());
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(checked(window, IDC_ON));
    closeAndWait(*first, window);

    // Once the first has ended, the next start runs normally.
    auto third = installed.start();
    HWND again = third->waitForShownMainWindow();
    ASSERT_NE(nullptr, again);
    closeAndWait(*third, again);
}

TEST(SingleInstance, TwoStartsAtNearlyTheSameMomentLeaveExactlyOneRunning)
{
    Installation installed(kRadeon6900);
    auto one = installed.start();
    auto two = installed.start();
    ASSERT_TRUE(waitUntil([&] { return !one->running() || !two->running(); }, 20000));
    ProgramUnderTest& survivor = one->running() ? *one : *two;
    const ProgramUnderTest& ended = one->running() ? *two : *one;
    EXPECT_EQ(0u, ended.exitCode());
    HWND window = survivor.waitForShownMainWindow();
    ASSERT_NE(nullptr, window);
    Sleep(500);
    EXPECT_TRUE(survivor.running());
    closeAndWait(survivor, window);
}

} // namespace
