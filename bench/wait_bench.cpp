// How long the program keeps the user waiting when the driver is slow or does
// not answer: from Close to the process's end beside a read that never
// returns, the shutdown on a bus of 100 ms transactions, and how long the
// window stays unanswered after a click while a call is stuck.
#include "program_driver.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace nt_test;

namespace {

constexpr int kStuckExitRounds = 10;
constexpr DWORD kEndsWithinMs = 60000;

void print(const char* figure, double value, const char* unit)
{
    std::printf("%s\t%.0f\t%s\n", figure, value, unit);
}

sim::SimSettings blockingNext(int reg, int reading)
{
    sim::SimSettings settings = sim::withRegister25(reading);
    settings.blockRegister = reg;
    return settings;
}

// Milliseconds from Close to the end of the process.
double closeToExitMs(Running& app)
{
    const double start = nowMs();
    click(app.window(), IDC_CLOSE);
    app.program().waitForExit(kEndsWithinMs);
    return nowMs() - start;
}

void exitBesideAStuckRead()
{
    std::vector<double> spans;
    for (int round = 0; round < kStuckExitRounds; ++round) {
        Running app(kRadeon6900, 40);
        app.switchOn();
        app.installed().sim().apply(blockingNext(25, 40));
        waitUntil([&] { return app.blocks() > 0; });
        spans.push_back(closeToExitMs(app));
    }
    std::sort(spans.begin(), spans.end());
    print("Close to exit beside a read that never returns, median of 10", spans[spans.size() / 2], "ms");
    print("Close to exit beside a read that never returns, longest of 10", spans.back(), "ms");
}

void shutdownOnASlowBus()
{
    Running app(kRadeon6900, 40);
    app.switchOn();
    sim::SimSettings slow = sim::withRegister25(40);
    slow.delayMs = 100;
    app.installed().sim().apply(slow);
    app.mark();
    print("Close to exit on a bus of 100 ms transactions", closeToExitMs(app), "ms");
    print("reset writes of the 38 on that bus", static_cast<double>(app.writesSinceMark().size()), "writes");
}

// Milliseconds from a posted click until the window has painted again.
double unansweredAfterClickMs(HWND window, int id)
{
    const double start = nowMs();
    click(window, id);
    repaints(window);
    return nowMs() - start;
}

void clickWhileAWriteIsStuck()
{
    Running app(kGeForce580, 40);
    app.installed().sim().apply(blockingNext(19, 40));
    app.press(IDC_ON);
    print("window unanswered after the Apply that meets a stuck write",
          unansweredAfterClickMs(app.window(), IDC_APPLY), "ms");
    waitUntil([&] { return app.blocks() > 0; });
    app.press(IDC_OFF);
    print("window unanswered after an Apply while that write is stuck",
          unansweredAfterClickMs(app.window(), IDC_APPLY), "ms");
    closeToExitMs(app);
}

} // namespace

int main()
{
    exitBesideAStuckRead();
    shutdownOnASlowBus();
    clickWhileAWriteIsStuck();
    return 0;
}
