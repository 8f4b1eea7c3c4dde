// The Radeon card classes against the stand-in atipdlxx.dll: what reaches the
// controller, and that a card can go away at any moment of its polling.
#include <gtest/gtest.h>

#include "card/board/RadeonHD6870.h"
#include "card/board/RadeonHD6970.h"
#include "card_fixtures.h"

#include <stdexcept>

using namespace card_test;
using namespace nt_test;

namespace {

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
    EXPECT_EQ(joined({kRadeon6900Enable, kRadeon6900Enable, kRadeon6900Disable}), standIn.writes());
}

TEST_F(Radeon, HD6870WritesItsSetsInTheBoardsOrder)
{
    RadeonHD6870 card;
    card.enable();
    card.disable();
    EXPECT_EQ(joined({kRadeon6800Enable, kRadeon6800Disable}), standIn.writes());
}

TEST_F(Radeon, HD6970ResetWritesTheDefaultTableThenItsDisableSet)
{
    RadeonHD6970 card;
    card.enable();
    const std::size_t before = standIn.writes().size();
    card.reset();
    Writes afterReset = standIn.writes();
    afterReset.erase(afterReset.begin(), afterReset.begin() + static_cast<std::ptrdiff_t>(before));
    EXPECT_EQ(joined({defaultTableWrites(), kRadeon6900Disable}), afterReset);
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
    Writes expected;
    for (int i = 0; i < 10; ++i) {
        RadeonHD6970 card;
        card.enable();
        if (i % 2 == 1) {
            ResumeThread(card.threadHandle());
        }
        expected = joined({expected, kRadeon6900Enable});
    }
    EXPECT_EQ(expected, standIn.writes());
    const int reads = standIn.reads();
    Sleep(300);
    EXPECT_EQ(reads, standIn.reads()) << "a thread read after its card was gone";
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
