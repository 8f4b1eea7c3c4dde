// A card whose lamp updates are sent to windows of the thread that switches it
// off or destroys it: the wait must let those updates through.
#include <gtest/gtest.h>

#include "card/board/VideoCardBase.h"
#include "card/lamps/LedProcess.h"
#include "card_fixtures.h"

using namespace card_test;

namespace {

// Forwards to the lamps, and says when a notification begins and ends.
class ObservedLamps : public ThreadListener {
public:
    explicit ObservedLamps(HWND panel) : entered_(CreateEventA(nullptr, FALSE, FALSE, nullptr))
    {
        lamps_.setDialog(panel);
    }
    ~ObservedLamps() override { CloseHandle(entered_); }

    void notify(int reading) override
    {
        ++begun;
        SetEvent(entered_);
        lamps_.notify(reading);
        ++ended;
    }

    // Blocks this thread without handling messages, so the next lamp update stalls.
    bool waitForANotificationToBegin() { return WaitForSingleObject(entered_, 5000) == WAIT_OBJECT_0; }

    std::atomic<int> begun{0};
    std::atomic<int> ended{0};

private:
    HANDLE entered_;
    R6970LedProcess lamps_;
};

class BlockedNotification : public ::testing::Test {
protected:
    BlockedNotification()
    {
        // Every pass notifies a new reading.
        auto sample = [](int read) { return static_cast<unsigned char>(read / 10 % 2 ? 100 : 0); };
        card = std::make_unique<VideoCardBase>(std::make_unique<ScriptedStream>(record, sample), 5);
        card->setListener(&lamps);
        ResumeThread(card->threadHandle());
        card->enable();
    }

    // Returns once the worker thread is inside a lamp update this thread has
    // not handled yet.
    void blockANotification()
    {
        ASSERT_TRUE(lamps.waitForANotificationToBegin());
        Sleep(50);
        ASSERT_EQ(lamps.begun.load(), lamps.ended.load() + 1);
    }

    std::shared_ptr<StreamRecord> record = std::make_shared<StreamRecord>();
    LampPanel panel;
    ObservedLamps lamps{panel.window()};
    std::unique_ptr<VideoCardBase> card;
};

} // namespace

TEST_F(BlockedNotification, DestroyingTheCardCompletesItAndEndsTheThread)
{
    blockANotification();
    card.reset();
    // The notification ran to its end before the card was gone, and none follows.
    EXPECT_EQ(lamps.begun.load(), lamps.ended.load());
    const int notified = lamps.ended;
    const int reads = record->reads;
    Sleep(100);
    EXPECT_EQ(notified, lamps.ended.load());
    EXPECT_EQ(reads, record->reads.load());
}

TEST_F(BlockedNotification, DisableCompletesItAndNoneFollows)
{
    blockANotification();
    card->disable();
    EXPECT_EQ(lamps.begun.load(), lamps.ended.load());
    const int notified = lamps.ended;
    panel.take();
    Sleep(100);
    nt_test::pumpMessages();
    EXPECT_EQ(notified, lamps.ended.load());
    EXPECT_TRUE(panel.take().empty()) << "a late pass changed the lamps";
}

TEST_F(BlockedNotification, ResetCompletesItAndNoneFollows)
{
    blockANotification();
    card->reset();
    EXPECT_EQ(lamps.begun.load(), lamps.ended.load());
    const int notified = lamps.ended;
    Sleep(100);
    EXPECT_EQ(notified, lamps.ended.load());
}
