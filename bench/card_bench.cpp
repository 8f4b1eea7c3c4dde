// Card control against the stand-in driver libraries: how long a polling pass
// takes through each, what the card's thread costs, and how long a polling
// card takes to be destroyed.
#include "SimControl.h"
#include "card/CardModels.h"
#include "card/board/RadeonHD6970.h"
#include "card/board/ThreadListener.h"
#include "card/driver/AtipdlxxStream.h"
#include "card/driver/NVidiaStream.h"
#include "nt_test.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <numeric>
#include <vector>

namespace {

constexpr DWORD kPassRunMs = 2000;
constexpr DWORD kCpuRunMs = 5000;
constexpr int kDestructions = 10;

class CountingListener : public ThreadListener {
public:
    void notify(int) override { ++count; }
    std::atomic<int> count{0};
};

// With no pause between passes, and a reading that changes every pass so each
// pass notifies, passes per second give the time of one.
template <typename DriverStream>
double passMs(sim::SimControl& control)
{
    sim::SimSettings settings;
    settings.register25.kind = sim::Register25::Kind::Sequence;
    settings.register25.values.assign(10, 1);
    settings.register25.values.resize(20, 2);
    control.apply(settings, false);
    control.settle();
    CountingListener listener;
    VideoCardBase card(std::make_unique<DriverStream>(), 0);
    card.setListener(&listener);
    card.enable();
    ResumeThread(card.threadHandle());
    Sleep(kPassRunMs);
    card.disable();
    return kPassRunMs / static_cast<double>(std::max(1, listener.count.load()));
}

double cpuPerMinuteMs(RadeonHD6970& card)
{
    const double before = nt_test::threadCpuMs(card.threadHandle());
    Sleep(kCpuRunMs);
    return (nt_test::threadCpuMs(card.threadHandle()) - before) * (60000.0 / kCpuRunMs);
}

// Destroys polling cards at moments spread over the interval.
std::vector<double> destructionMs()
{
    std::vector<double> times;
    for (int run = 0; run < kDestructions; ++run) {
        auto card = std::make_unique<RadeonHD6970>();
        card->enable();
        ResumeThread(card->threadHandle());
        Sleep(static_cast<DWORD>(kRadeonHD6900Spec.pollIntervalMs +
                                 run * kRadeonHD6900Spec.pollIntervalMs / kDestructions));
        times.push_back(nt_test::millisecondsOf([&] { card.reset(); }));
    }
    return times;
}

} // namespace

int main()
{
    nt_test::TempDir folder;
    sim::SimControl control(folder.path());
    if (AddDllDirectory((nt_test::simDir() + L"\\atipdlxx").c_str()) == nullptr ||
        AddDllDirectory((nt_test::simDir() + L"\\nvapi").c_str()) == nullptr) {
        std::fprintf(stderr, "card_bench: a stand-in's folder is missing\n");
        return 1;
    }
    try {
        std::printf("polling pass (10 reads) against the stand-in\t%.3f\tms\n",
                    passMs<AtipdlxxStream>(control));
        std::printf("polling pass (10 reads) against the NVIDIA stand-in\t%.3f\tms\n",
                    passMs<NVidiaStream>(control));

        sim::SimSettings wave;
        wave.register25.kind = sim::Register25::Kind::Wave;
        control.apply(wave, false);
        control.settle();
        RadeonHD6970 card;
        ResumeThread(card.threadHandle());
        std::printf("card thread CPU per minute, polling off (from %lu s)\t%.1f\tms\n", kCpuRunMs / 1000,
                    cpuPerMinuteMs(card));
        card.enable();
        std::printf("card thread CPU per minute, polling on (from %lu s)\t%.1f\tms\n", kCpuRunMs / 1000,
                    cpuPerMinuteMs(card));
        card.disable();

        const std::vector<double> times = destructionMs();
        std::printf("destroying a polling card, mean of %d\t%.1f\tms\n", kDestructions,
                    std::accumulate(times.begin(), times.end(), 0.0) / kDestructions);
        std::printf("destroying a polling card, longest of %d\t%.1f\tms\n", kDestructions,
                    *std::max_element(times.begin(), times.end()));
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "card_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
