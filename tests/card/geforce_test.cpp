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
using namespace nt_test;

namespace {

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
    EXPECT_EQ(joined({kGeForce580FirstEnable, kGeForceDisable, kGeForce580Enable, kGeForce580Enable}),
              standIn.writes());
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
    EXPECT_EQ(joined({kGeForce580FirstEnable, defaultTableWrites(), kGeForce580FirstEnable,
                      defaultTableWrites(), kGeForceDisable, kGeForce580FirstEnable}),
              standIn.writes());
}

TEST_F(GeForce, GTX560WritesItsFullSetOnEveryEnableAndKeepsTheBaseReset)
{
    N560GTX card;
    card.enable();
    card.enable();
    card.disable();
    card.reset();
    EXPECT_EQ(joined({kGeForce560TiEnable, kGeForce560TiEnable, kGeForceDisable, defaultTableWrites()}),
              standIn.writes());
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
