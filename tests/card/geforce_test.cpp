// The GeForce card classes against the stand-in nvapi.dll: what reaches the
// controller for each operation, and the polling interval.
#include <gtest/gtest.h>

#include "card/board/N560GTX.h"
#include "card/board/N580GTX.h"
#include "card/board/ThreadListener.h"
#include "card_fixtures.h"
#include "nvapi_fixtures.h"

#include <atomic>

using namespace card_test;

namespace {

const Writes k580FirstEnable = {{23, 0x00}, {1, 0x41},  {2, 0x36},  {3, 0x2C},  {4, 0x22},
                                {5, 0x19},  {6, 0x10},  {7, 0x0A},  {17, 0x00}, {18, 0x00},
                                {19, 0xCA}, {20, 0x87}, {21, 0x65}, {22, 0x42}, {23, 0x80}};
const Writes k580Enable = {{23, 0x00}, {19, 0xCA}, {20, 0x87}, {21, 0x65}, {22, 0x42}, {23, 0x80}};
const Writes k560Enable = {{23, 0x00}, {1, 0x88},  {2, 0x6E},  {3, 0x4E},  {4, 0x41},
                           {5, 0x36},  {6, 0x28},  {7, 0x1F},  {17, 0x00}, {18, 0x00},
                           {19, 0x87}, {20, 0x65}, {21, 0x43}, {22, 0x21}, {23, 0x80}};
// Both boards: registers 1 to 7, 17 and 18 keep what they hold.
const Writes kDisable = {{23, 0x00}, {19, 0x00}, {20, 0x00}, {21, 0x00}, {22, 0x00}, {23, 0x80}};

class CountingListener : public ThreadListener {
public:
    void notify(int reading) override
    {
        last = reading;
        ++notes;
    }
    std::atomic<int> last{-1};
    std::atomic<int> notes{0};
};

class GeForce : public ::testing::Test {
protected:
    NvapiStandIn standIn;
};

} // namespace

TEST_F(GeForce, GTX580WritesItsFullSetOnlyOnTheFirstEnable)
{
    N580GTX card;
    card.enable();
    card.disable();
    card.enable();
    card.enable();
    EXPECT_EQ(joined({k580FirstEnable, kDisable, k580Enable, k580Enable}), standIn.writes());
}

TEST_F(GeForce, GTX580WritesItsFullSetAgainAfterReset)
{
    N580GTX card;
    card.enable();
    card.reset();
    card.enable();
    card.reset();
    card.disable();
    card.enable();
    EXPECT_EQ(joined({k580FirstEnable, defaultTableWrites(), k580FirstEnable, defaultTableWrites(), kDisable,
                      k580FirstEnable}),
              standIn.writes());
}

TEST_F(GeForce, GTX560WritesItsFullSetOnEveryEnableAndKeepsTheBaseReset)
{
    N560GTX card;
    card.enable();
    card.enable();
    card.disable();
    card.reset();
    EXPECT_EQ(joined({k560Enable, k560Enable, kDisable, defaultTableWrites()}), standIn.writes());
}

// The readings reach the listener.
TEST_F(GeForce, BothBoardsPollRegister25Every200Ms)
{
    standIn.control().apply(sim::withRegister25(0x5A));
    auto passGaps = [&](VideoCardBase& card) {
        CountingListener listener;
        card.setListener(&listener);
        card.enable();
        ResumeThread(card.threadHandle());
        EXPECT_TRUE(waitUntil([&] { return standIn.calls("I2CRead").size() >= 50; }, 10000));
        card.disable();
        card.setListener(nullptr);
        EXPECT_EQ(0x5A, listener.last);
        std::vector<long long> times;
        for (const sim::LogEntry& read : standIn.calls("I2CRead")) {
            EXPECT_EQ(25, read.field("register"));
            times.push_back(read.field("time"));
        }
        return passGapsMs(times);
    };
    {
        N580GTX card;
        expectPassesEvery(200, passGaps(card));
    }
    standIn.control().clearLog();
    {
        N560GTX card;
        expectPassesEvery(200, passGaps(card));
    }
}
