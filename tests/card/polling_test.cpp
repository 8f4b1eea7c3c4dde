// The card's worker thread against a scripted stream, with a short interval.
#include <gtest/gtest.h>

#include "card/board/VideoCardBase.h"
#include "card_fixtures.h"
#include "common/UniqueHandle.h"

#include <array>
#include <atomic>
#include <thread>

using namespace card_test;

namespace {

constexpr int kTestIntervalMs = 5;

// A card with its listener, resumed and ready to be switched on.
class Polling : public ::testing::Test {
protected:
    void start(std::function<unsigned char(int)> sample, DWORD readDelayMs = 0, bool withListener = true)
    {
        card = std::make_unique<VideoCardBase>(
            std::make_unique<ScriptedStream>(record, std::move(sample), readDelayMs), kTestIntervalMs);
        if (withListener) {
            card->setListener(&listener);
        }
        ResumeThread(card->threadHandle());
    }

    int passes() const { return record->reads / 10; }

    // Ends the worker thread; the pass under way completes first.
    void finish() { card.reset(); }

    std::vector<RecordingListener::Note> notesUpToPass(int lastPass)
    {
        std::vector<RecordingListener::Note> notes = listener.notes();
        std::erase_if(notes, [&](const RecordingListener::Note& note) { return note.pass > lastPass; });
        return notes;
    }

    std::shared_ptr<StreamRecord> record = std::make_shared<StreamRecord>();
    RecordingListener listener{record};
    std::unique_ptr<VideoCardBase> card;
};

// A reading per pass: every read of pass p (from 1) yields reading(p).
std::function<unsigned char(int)> perPass(const std::function<unsigned char(int)>& reading)
{
    return [reading](int read) { return reading(read / 10 + 1); };
}

void expectNotes(const std::vector<RecordingListener::Note>& notes,
                 const std::vector<std::pair<int, int>>& expectedPassAndReading)
{
    ASSERT_EQ(expectedPassAndReading.size(), notes.size());
    for (std::size_t i = 0; i < notes.size(); ++i) {
        EXPECT_EQ(expectedPassAndReading[i].first, notes[i].pass) << "note " << i;
        EXPECT_EQ(expectedPassAndReading[i].second, notes[i].reading) << "note " << i;
    }
}

} // namespace

TEST_F(Polling, AnUnchangedReadingIsPassedOnEveryFourthPassStartingFromZero)
{
    start([](int) { return 0; });
    card->enable();
    ASSERT_TRUE(waitUntil([&] { return passes() >= 13; }));
    finish();
    expectNotes(notesUpToPass(13), {{4, 0}, {8, 0}, {12, 0}});
}

TEST_F(Polling, AChangedReadingIsPassedOnInThePassThatSeesIt)
{
    // 9 three times, then 10 and 11 by turns.
    start(perPass([](int pass) { return static_cast<unsigned char>(pass <= 3 ? 9 : 10 + pass % 2); }));
    card->enable();
    ASSERT_TRUE(waitUntil([&] { return passes() >= 7; }));
    finish();
    expectNotes(notesUpToPass(7), {{1, 9}, {4, 10}, {5, 11}, {6, 10}, {7, 11}});
}

TEST_F(Polling, APassTakesTenSamplesAndKeepsTheLargest)
{
    const std::array<std::array<unsigned char, 10>, 3> passSamples = {{
        {3, 7, 5, 0, 0, 0, 0, 0, 0, 1},
        {0, 0, 0, 0, 0, 0, 0, 0, 0, 200}, // the tenth sample counts
        {255, 0, 0, 0, 0, 0, 0, 0, 0, 0}, // a byte, not a signed char
    }};
    start([&](int read) { return read < 30 ? passSamples[read / 10][read % 10] : 0; });
    card->enable();
    ASSERT_TRUE(waitUntil([&] { return passes() >= 3; }));
    finish();
    expectNotes(notesUpToPass(3), {{1, 7}, {2, 200}, {3, 255}});
    EXPECT_EQ(0, record->reads % 10) << "passes end whole";
}

TEST_F(Polling, WithPollingOffTheLoopNeverReadsAndNeverNotifies)
{
    start([](int) { return 42; });
    Sleep(20 * kTestIntervalMs);
    EXPECT_EQ(0, record->reads.load());

    card->enable();
    ASSERT_TRUE(waitUntil([&] { return passes() >= 2; }));
    card->disable();
    const int readsAtDisable = record->reads;
    Sleep(20 * kTestIntervalMs);
    EXPECT_EQ(readsAtDisable, record->reads.load());
    finish();
    // 42 is new in pass 1, then passed on again every fourth pass.
    EXPECT_EQ(static_cast<std::size_t>(1 + (readsAtDisable / 10 - 1) / 4), listener.notes().size());
}

TEST_F(Polling, WithoutAListenerReadingsAreStillFiltered)
{
    start([](int) { return 5; }, 0, false);
    card->enable();
    ASSERT_TRUE(waitUntil([&] { return passes() >= 2; }));
    card->disable();
    // Pass 1 took 5 as the last reading; each later unchanged pass counted a repeat.
    const int silentPasses = passes();
    const int repeats = (silentPasses - 1) % 4;
    card->setListener(&listener);
    card->enable();
    const int firstNotifiedPass = silentPasses + 4 - repeats;
    ASSERT_TRUE(waitUntil([&] { return passes() >= firstNotifiedPass; }));
    finish();
    expectNotes(notesUpToPass(firstNotifiedPass), {{firstNotifiedPass, 5}});
}

TEST_F(Polling, AStopBeforeResumingEndsTheThreadWithoutAPass)
{
    card = std::make_unique<VideoCardBase>(std::make_unique<ScriptedStream>(record, [](int) { return 1; }),
                                           10000);
    card->setListener(&listener);
    card->enable();
    const double start = nowMs();
    finish();
    EXPECT_LT(nowMs() - start, 5000.0) << "the 10 s interval was slept";
    EXPECT_EQ(0, record->reads.load());
}

TEST_F(Polling, DestroyingARunningCardDoesNotSitOutItsInterval)
{
    card = std::make_unique<VideoCardBase>(std::make_unique<ScriptedStream>(record, [](int) { return 1; }),
                                           10000);
    card->setListener(&listener);
    card->enable();
    ResumeThread(card->threadHandle());
    Sleep(100); // well inside the first pause
    const double start = nowMs();
    finish();
    EXPECT_LT(nowMs() - start, 5000.0) << "the 10 s interval was slept";
    EXPECT_LE(record->reads.load(), VideoCardBase::kSamplesPerPass) << "at most the one last pass";
}

// Once disable() or reset() returns, a late pass must not relight the lamps.
TEST_F(Polling, NoPassReachesTheListenerAfterDisableReturns)
{
    // Every pass notifies; a pass takes about 30 ms.
    start(perPass([](int pass) { return static_cast<unsigned char>(pass % 2); }), 3);
    card->enable();
    ASSERT_TRUE(waitUntil([&] { return record->reads >= 13; }));
    card->disable();
    const int readsAtDisable = record->reads;
    const std::size_t notesAtDisable = listener.notes().size();
    EXPECT_EQ(0, readsAtDisable % 10) << "the pass under way ended before disable returned";
    EXPECT_EQ(static_cast<std::size_t>(readsAtDisable / 10), notesAtDisable);
    Sleep(100);
    EXPECT_EQ(readsAtDisable, record->reads.load());
    EXPECT_EQ(notesAtDisable, listener.notes().size());
}

// A read that does not come back, as from a driver whose bus another tool
// holds: switching polling off gives up waiting for its pass, the thread is
// not reported ended, and once the read comes back that pass reaches nobody.
TEST_F(Polling, APassStuckInTheDriverIsGivenUpOnAndNeverNotifiesLate)
{
    const UniqueKernelHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> stuck{false};
    // A new reading every pass; the third read of pass 2 hangs.
    start([&](int read) {
        if (read == 12) {
            stuck = true;
            WaitForSingleObject(release.get(), INFINITE);
        }
        return static_cast<unsigned char>(read / 10 % 2 + 1);
    });
    card->enable();
    ASSERT_TRUE(waitUntil([&] { return stuck.load(); }));
    const std::size_t notes = listener.notes().size();

    std::atomic<bool> switchedOff{false};
    std::thread off([&] {
        card->disable();
        switchedOff = true;
    });
    EXPECT_TRUE(waitUntil([&] { return switchedOff.load(); }, 20000)) << "disable waits for the stuck pass";
    EXPECT_FALSE(card->stopPolling(100));

    SetEvent(release.get());
    off.join();
    // Until the next read starts, the returned one may still show as stuck.
    ASSERT_TRUE(waitUntil([&] { return record->reads.load() >= 14; }));
    EXPECT_TRUE(card->stopPolling(10000));
    EXPECT_EQ(notes, listener.notes().size()) << "the late pass reached the listener";
    EXPECT_EQ(20, record->reads.load()) << "the pass ends whole";
}

TEST_F(Polling, ResetSwitchesPollingOffBeforeItsFirstWrite)
{
    start(perPass([](int pass) { return static_cast<unsigned char>(pass % 2); }), 3);
    card->enable();
    ASSERT_TRUE(waitUntil([&] { return record->reads >= 13; }));
    card->reset();
    const std::vector<StreamRecord::Write> writes = record->writesSoFar();
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(0, writes.front().readsBefore % 10);
    EXPECT_EQ(writes.front().readsBefore, record->reads.load()) << "no read after the first write";
    const std::size_t notesAtReset = listener.notes().size();
    Sleep(100);
    EXPECT_EQ(notesAtReset, listener.notes().size());
}

TEST_F(Polling, ResetWritesTheDefaultTableFiveMillisecondsApart)
{
    start([](int) { return 0; });
    card->reset();
    const std::vector<StreamRecord::Write> writes = record->writesSoFar();
    const Writes expected = defaultTableWrites();
    ASSERT_EQ(expected.size(), writes.size());
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(expected[i], std::make_pair(writes[i].reg, static_cast<int>(writes[i].value)))
            << "write " << i;
    }
    // 21 pauses lie between the write of register 1 and that of register 22.
    EXPECT_GE(writes.back().timeMs - writes[1].timeMs, 21 * 5 * 0.8);
}

// The filter's memory belongs to each card: a second card starts afresh.
TEST_F(Polling, EachCardFiltersOnItsOwn)
{
    start([](int) { return 7; });
    card->enable();
    ASSERT_TRUE(waitUntil([&] { return passes() >= 2; }));
    finish();

    auto second = std::make_shared<StreamRecord>();
    RecordingListener secondListener(second);
    VideoCardBase other(std::make_unique<ScriptedStream>(second, [](int) { return 0; }), kTestIntervalMs);
    other.setListener(&secondListener);
    other.enable();
    ResumeThread(other.threadHandle());
    ASSERT_TRUE(waitUntil([&] { return second->reads >= 40; }));
    other.disable();
    ASSERT_FALSE(secondListener.notes().empty());
    EXPECT_EQ(4, secondListener.notes().front().pass) << "0 was new to this card, not after the other's 7";
}

namespace {

// Reads that fail and leave the buffer as it was.
class FailingStream : public Stream {
public:
    explicit FailingStream(std::shared_ptr<StreamRecord> record) : record_(std::move(record)) {}
    int read(unsigned char*, int, int count) override
    {
        ++record_->reads;
        return count;
    }
    int write(const unsigned char*, int, int count) override { return count; }

private:
    std::shared_ptr<StreamRecord> record_;
};

} // namespace

TEST_F(Polling, ReadsThatNeverSucceedCountAsZero)
{
    card = std::make_unique<VideoCardBase>(std::make_unique<FailingStream>(record), kTestIntervalMs);
    card->setListener(&listener);
    card->enable();
    ResumeThread(card->threadHandle());
    ASSERT_TRUE(waitUntil([&] { return passes() >= 4; }));
    finish();
    expectNotes(notesUpToPass(4), {{4, 0}});
}
