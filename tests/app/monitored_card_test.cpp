// The window's card and lamp mapping, freed by default: the card's polling
// thread, which calls the lamp mapping, has ended before the mapping goes.
#include <gtest/gtest.h>

#include "app/MonitoredCard.h"
#include "card/CardModels.h"
#include "card_fixtures.h"

using namespace card_test;

namespace {

// Notes, when it goes, whether the card's polling thread still ran.
class WatchfulLamps : public LedProcess {
public:
    WatchfulLamps(HANDLE cardThread, bool& threadRanOn)
        : LedProcess(kRadeonHD6900Spec), threadRanOn_(threadRanOn)
    {
        DuplicateHandle(GetCurrentProcess(), cardThread, GetCurrentProcess(), thread_.put(), SYNCHRONIZE,
                        FALSE, 0);
    }
    ~WatchfulLamps() override { threadRanOn_ = WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT; }
    void notify(int) override {}

private:
    UniqueKernelHandle thread_;
    bool& threadRanOn_;
};

} // namespace

TEST(MonitoredCard, FreedByDefaultTheCardsThreadEndsBeforeTheLampMappingGoes)
{
    bool threadRanOn = true;
    {
        auto record = std::make_shared<StreamRecord>();
        MonitoredCard monitored;
        monitored.videoCard = std::make_unique<VideoCardBase>(
            std::make_unique<ScriptedStream>(record, [](int) { return 0; }), 5);
        monitored.ledProcess =
            std::make_unique<WatchfulLamps>(monitored.videoCard->threadHandle(), threadRanOn);
        monitored.videoCard->setListener(monitored.ledProcess.get());
        // Polling stays off: the thread runs but calls nobody.
        ResumeThread(monitored.videoCard->threadHandle());
    }
    EXPECT_FALSE(threadRanOn);
}
