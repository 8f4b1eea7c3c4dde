// The Radeon card classes against the stand-in atipdlxx.dll: what reaches the
// controller, and that a card can go away at any moment of its polling.
#include <gtest/gtest.h>

#include "card/board/RadeonHD6870.h"
#include "card/board/RadeonHD6970.h"
#include "card_fixtures.h"

#include <stdexcept>

using namespace card_test;

namespace {

const Writes k6970Enable = {{23, 0x00}, {7, 0x20},  {6, 0x2A},  {5, 0x3B},  {4, 0x44},
                            {3, 0x4A},  {2, 0x51},  {1, 0x51},  {19, 0x77}, {20, 0x65},
                            {21, 0x43}, {22, 0x21}, {17, 0x00}, {18, 0x00}, {23, 0x80}};
const Writes k6970Disable = {{23, 0x00}, {7, 0x00},  {6, 0x00},  {5, 0x00},  {4, 0x00},
                             {3, 0x00},  {2, 0x00},  {1, 0x00},  {19, 0x77}, {20, 0x77},
                             {21, 0x77}, {22, 0x77}, {17, 0x00}, {18, 0x00}, {23, 0x80}};
const Writes k6870Enable = {{23, 0x00}, {7, 0x0E},  {6, 0x23},  {5, 0x34},  {4, 0x46},
                            {3, 0x4F},  {2, 0x68},  {1, 0x7E},  {19, 0x87}, {20, 0x65},
                            {21, 0x43}, {22, 0x21}, {17, 0x00}, {18, 0x00}, {23, 0x80}};
const Writes k6870Disable = {{23, 0x00}, {7, 0x0E},  {6, 0x23},  {5, 0x34},  {4, 0x46},
                             {3, 0x4F},  {2, 0x68},  {1, 0x7E},  {19, 0x00}, {20, 0x00},
                             {21, 0x00}, {22, 0x00}, {17, 0x00}, {18, 0x00}, {23, 0x80}};

std::vector<long long> readTimes(StandIn& standIn)
{
    std::vector<long long> times;
    for (const sim::LogEntry& entry : standIn.control().log("WriteAndReadI2C")) {
        if (entry.field("action") == 1) {
            times.push_back(entry.field("time"));
        }
    }
    return times;
}

class Radeon : public ::testing::Test {
protected:
    StandIn standIn;
};

} // namespace

TEST_F(Radeon, HD6970WritesItsSetsInTheBoardsOrder)
{
    RadeonHD6970 card;
    card.enable();
    card.enable();
    card.disable();
    EXPECT_EQ(joined({k6970Enable, k6970Enable, k6970Disable}), standIn.writes());
}

TEST_F(Radeon, HD6870WritesItsSetsInTheBoardsOrder)
{
    RadeonHD6870 card;
    card.enable();
    card.disable();
    EXPECT_EQ(joined({k6870Enable, k6870Disable}), standIn.writes());
}

TEST_F(Radeon, HD6970ResetWritesTheDefaultTableThenItsDisableSet)
{
    RadeonHD6970 card;
    card.enable();
    const std::size_t before = standIn.writes().size();
    card.reset();
    Writes afterReset = standIn.writes();
    afterReset.erase(afterReset.begin(), afterReset.begin() + static_cast<std::ptrdiff_t>(before));
    EXPECT_EQ(joined({defaultTableWrites(), k6970Disable}), afterReset);
}

TEST_F(Radeon, HD6870ResetWritesOnlyTheDefaultTable)
{
    RadeonHD6870 card;
    card.reset();
    EXPECT_EQ(defaultTableWrites(), standIn.writes());
}

TEST_F(Radeon, AStreamFailureLeavesTheConstructor)
{
    sim::SimSettings settings;
    settings.adapters = std::vector<int>{};
    standIn.control().apply(settings);
    try {
        RadeonHD6870 card;
        FAIL() << "constructed without an adapter";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ("Could not find any ATI adapters in the system!", failure.what());
    }
}

TEST_F(Radeon, The6900PollsEvery200MsAndThe6800Every500Ms)
{
    auto passGaps = [&](VideoCardBase& card, int passes) {
        card.enable();
        ResumeThread(card.threadHandle());
        EXPECT_TRUE(waitUntil([&] { return standIn.reads() >= passes * 10; }, 10000));
        card.disable();
        return passGapsMs(readTimes(standIn));
    };
    {
        RadeonHD6970 card;
        expectPassesEvery(200, passGaps(card, 5));
    }
    standIn.control().apply(sim::SimSettings{}); // the log restarts with the next card
    standIn.control().clearLog();
    {
        RadeonHD6870 card;
        expectPassesEvery(500, passGaps(card, 4));
    }
}

TEST_F(Radeon, ACardCanBeDestroyedBeforeOrRightAfterItsThreadRuns)
{
    for (int i = 0; i < 5; ++i) {
        RadeonHD6970 suspended;
        suspended.enable();
    }
    for (int i = 0; i < 5; ++i) {
        RadeonHD6970 running;
        running.enable();
        ResumeThread(running.threadHandle());
    }
}

// With slow transactions a pass lasts long; the card must wait for it to end
// before its stream goes, and nothing may run after the card is gone.
TEST_F(Radeon, DestroyedDuringASlowPassItEndsThePassFirst)
{
    sim::SimSettings settings;
    settings.delayMs = 20;
    standIn.control().apply(settings);
    {
        RadeonHD6970 card;
        card.enable();
        ResumeThread(card.threadHandle());
        ASSERT_TRUE(waitUntil([&] { return standIn.reads() >= 3; }, 10000));
    }
    const int readsAtDestruction = standIn.reads();
    EXPECT_EQ(0, readsAtDestruction % 10);
    Sleep(300);
    EXPECT_EQ(readsAtDestruction, standIn.reads());
}
