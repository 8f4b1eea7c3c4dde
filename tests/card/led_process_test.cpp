// The lamp rows against real child windows: every reading 0 to 255, with the
// expected messages worked out from the lamp tables of each card model.
#include <gtest/gtest.h>

#include "card/CardModels.h"
#include "card/lamps/LedProcess.h"
#include "res/resource.h"
#include "card_fixtures.h"

#include <string>

using namespace card_test;

namespace {

struct Switch {
    int lamp;
    bool lit;
    bool operator==(const Switch&) const = default;
};
using Switches = std::vector<Switch>;

// Inclusive reading ranges and the number of lamps each shows.
struct Row {
    int lowest;
    int highest;
    int lamps;
};

// The lamps each reading shows, worked out by hand from the boards' tables.
const std::vector<Row> kR6970Rows = {{0, 31, 2},   {32, 41, 4},  {42, 58, 6},  {59, 67, 8},
                                     {68, 73, 10}, {74, 80, 12}, {81, 255, 14}};
const std::vector<Row> kN580Rows = {{0, 19, 2},  {20, 31, 4}, {32, 37, 5},  {38, 51, 6},
                                    {52, 65, 7}, {66, 79, 8}, {80, 95, 10}, {96, 255, 12}};
const std::vector<Row> kN560Rows = {{0, 30, 1},  {31, 39, 2},  {40, 53, 3},   {54, 64, 4},
                                    {65, 77, 5}, {78, 109, 6}, {110, 135, 7}, {136, 255, 8}};
// The HD 6800's levels; readings outside these windows and below 44 are level 0.
const std::vector<Row> kR6870Windows = {{5, 7, 1},   {12, 14, 2}, {18, 20, 3}, {25, 26, 4},
                                        {31, 33, 5}, {37, 39, 6}, {41, 43, 7}, {44, 255, 8}};

int r6870Level(int reading)
{
    int level = 0;
    for (const Row& window : kR6870Windows) {
        level = reading >= window.lowest && reading <= window.highest ? window.lamps : level;
    }
    return level;
}

int lampsFor(const std::vector<Row>& table, int reading)
{
    for (const Row& row : table) {
        if (reading >= row.lowest && reading <= row.highest) {
            return row.lamps;
        }
    }
    ADD_FAILURE() << "no row for reading " << reading;
    return 0;
}

Switches darkUp(int from, int to)
{
    Switches switches;
    for (int lamp = from; lamp <= to; ++lamp) {
        switches.push_back({lamp, false});
    }
    return switches;
}

Switches litDown(int from, int to)
{
    Switches switches;
    for (int lamp = from; lamp >= to; --lamp) {
        switches.push_back({lamp, true});
    }
    return switches;
}

Switches operator+(Switches first, const Switches& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

std::string describe(const Switches& switches)
{
    std::string text;
    for (const Switch& s : switches) {
        text += s.lit ? '+' : '-';
        text += std::to_string(s.lamp);
        text += ' ';
    }
    return text;
}

class LampRow : public ::testing::Test {
protected:
    // Sends the reading and checks the messages, their order, and that only
    // BM_SETCHECK with lParam 0 reached lamps no higher than topLamp.
    void expectSwitches(LedProcess& process, int reading, const Switches& expected, int topLamp)
    {
        process.notify(reading);
        const std::vector<LampPanel::Message> messages = panel.take();
        Switches got;
        for (const LampPanel::Message& message : messages) {
            EXPECT_EQ(static_cast<UINT>(BM_SETCHECK), message.message) << "reading " << reading;
            EXPECT_EQ(0, message.lParam) << "reading " << reading;
            EXPECT_LE(message.lamp, topLamp) << "reading " << reading;
            got.push_back({message.lamp, message.wParam == BST_CHECKED});
        }
        EXPECT_EQ(describe(expected), describe(got)) << "reading " << reading;
        lastMessages = messages;
    }

    void expectLitCount(int lamps, int topLamp)
    {
        for (int lamp = 0; lamp <= topLamp; ++lamp) {
            EXPECT_EQ(lamp < lamps, panel.lit(lamp)) << "lamp " << lamp;
        }
    }

    LampPanel panel;
    std::vector<LampPanel::Message> lastMessages;
};

} // namespace

TEST(LampTables, EveryReadingShowsTheLampsOfItsBoardsTable)
{
    for (int reading = 0; reading <= 255; ++reading) {
        EXPECT_EQ(lampsFor(kR6970Rows, reading), LedProcess::lampCountFor(kRadeonHD6900Spec, reading))
            << reading;
        EXPECT_EQ(lampsFor(kN580Rows, reading), LedProcess::lampCountFor(kGeForceGTX580Spec, reading))
            << reading;
        EXPECT_EQ(lampsFor(kN560Rows, reading), LedProcess::lampCountFor(kGeForceGTX560TiSpec, reading))
            << reading;
        EXPECT_EQ(r6870Level(reading), R6870LedProcess::levelFor(reading)) << reading;
    }
}

TEST_F(LampRow, R6970OverEveryReading)
{
    R6970LedProcess process;
    process.setDialog(panel.window());
    for (int reading = 0; reading <= 255; ++reading) {
        const int n = lampsFor(kR6970Rows, reading);
        expectSwitches(process, reading, darkUp(n, 13) + litDown(n - 1, 0), 13);
        expectLitCount(n, 13);
    }
}

TEST_F(LampRow, N580OverEveryReading)
{
    N580GTXLedProcess process;
    process.setDialog(panel.window());
    for (int reading = 0; reading <= 255; ++reading) {
        const int n = lampsFor(kN580Rows, reading);
        expectSwitches(process, reading, darkUp(n, 11) + litDown(n - 1, 0), 11);
        expectLitCount(n, 11);
    }
}

// The highest lamp to be lit goes dark too, and stays dark for a pause.
TEST_F(LampRow, N560OverEveryReading)
{
    N560GTXLedProcess process;
    process.setDialog(panel.window());
    for (int reading = 0; reading <= 255; ++reading) {
        const int n = lampsFor(kN560Rows, reading);
        const Switches darkening = n == 1 ? Switches{{0, true}} + darkUp(1, 7) : darkUp(n - 1, 7);
        expectSwitches(process, reading, darkening + litDown(n - 1, 0), 7);
        expectLitCount(n, 7);
        const std::size_t firstLit = darkening.size();
        ASSERT_LT(firstLit, lastMessages.size());
        EXPECT_GE(lastMessages[firstLit].timeMs - lastMessages[firstLit - 1].timeMs, 25.0)
            << "reading " << reading;
    }
}

TEST_F(LampRow, R6870OverEveryReading)
{
    R6870LedProcess process;
    process.setDialog(panel.window());
    SendMessageA(GetDlgItem(panel.window(), IDC_LED0), BM_SETCHECK, BST_CHECKED,
                 0); // as the window starts
    panel.take();
    for (int reading = 0; reading <= 255; ++reading) {
        const int level = r6870Level(reading);
        Switches expected;
        if (level == 0) {
            expected = Switches{{0, true}} + darkUp(1, 7);
        } else {
            expected = darkUp(level, 7) + litDown(level - 1, 1);
        }
        expectSwitches(process, reading, expected, 7);
        // Lamp 0 is never darkened, so level k shows k lamps and level 0 one.
        expectLitCount(level == 0 ? 1 : level, 7);
    }
}

TEST_F(LampRow, EdgeReadings)
{
    R6970LedProcess r6970;
    r6970.setDialog(panel.window());
    r6970.notify(81);
    EXPECT_EQ(14u, panel.take().size());
    expectLitCount(14, 13);

    N580GTXLedProcess n580;
    n580.setDialog(panel.window());
    expectSwitches(n580, 96, litDown(11, 0), 11);

    N560GTXLedProcess n560;
    n560.setDialog(panel.window());
    expectSwitches(n560, 136, Switches{{7, false}} + litDown(7, 0), 7);

    R6870LedProcess r6870;
    r6870.setDialog(panel.window());
    expectSwitches(r6870, 13, darkUp(2, 7) + Switches{{1, true}}, 7);
    expectSwitches(r6870, 200, litDown(7, 1), 7);
}

// Once its window is taken away, a process reaches no lamp of it.
TEST_F(LampRow, WithoutAWindowNothingHappens)
{
    R6970LedProcess process;
    process.setDialog(panel.window());
    process.notify(100);
    EXPECT_FALSE(panel.take().empty());
    process.setDialog(nullptr);
    process.notify(50);
    EXPECT_TRUE(panel.take().empty());
}
