// Starts Norvik_Tallo.exe on a simulated Radeon HD 6900 series again and
// again, switches it On and ends it by a way out picked at random, with
// fast-changing readings and with slow controller transactions in turn. Counts
// hangs, crashes and runs whose controller traffic does not end with the
// card's reset; exits with status 1 when any count is not zero.
//
// Usage: reliability [rounds] [--slow MS] [--seed N]
#include "program_driver.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace nt_test;

namespace {

constexpr int kDefaultRounds = 300;
constexpr int kDefaultSlowMs = 20;
constexpr DWORD kShowTimeoutMs = 20000;
// A click the program has not handled by then counts as a hang.
constexpr DWORD kClickTimeoutMs = 10000;
// Far above the slowest orderly exit (a reset of 37 slow writes), far below
// what anyone would wait for.
constexpr DWORD kExitTimeoutMs = 10000;
constexpr DWORD kLongestOnMs = 1000;

const Board& kBoard = kRadeon6900;

std::string describe(const Writes& transactions)
{
    std::string text;
    for (const auto& [reg, value] : transactions) {
        char item[24];
        std::snprintf(item, sizeof item, reg < 0 ? " read=%d" : " %d=0x%02X", reg < 0 ? value : reg, value);
        text += item;
    }
    return text;
}

struct ExitPath {
    const char* name;
    // False when the program did not take its part in time.
    bool (*take)(HWND window);
};

const ExitPath kExitPaths[] = {
    {"Close",
     [](HWND window) {
         click(window, IDC_CLOSE);
         return true;
     }},
    {"cross",
     [](HWND window) {
         click(window, IDC_QUIT);
         return true;
     }},
    {"tray Exit while hidden",
     [](HWND window) {
         if (!press(window, IDC_HIDE, kClickTimeoutMs)) {
             return false;
         }
         command(window, ID_SYSTRAY_EXIT);
         return true;
     }},
    {"Enter",
     [](HWND window) {
         PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
         return true;
     }},
    {"Escape",
     [](HWND window) {
         PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
         return true;
     }},
};

enum class Load { FastReadings, SlowTransactions };

const char* nameOf(Load load)
{
    return load == Load::FastReadings ? "fast readings" : "slow transactions";
}

sim::SimSettings settingsFor(Load load, int slowMs)
{
    sim::SimSettings settings;
    settings.register25.kind = sim::Register25::Kind::Wave;
    settings.register25.low = 0;
    settings.register25.high = 150;
    // Fast: nearly every pass finds a new reading and updates the lamps.
    settings.register25.periodMs = load == Load::FastReadings ? 400 : 4000;
    settings.delayMs = load == Load::SlowTransactions ? slowMs : 0;
    return settings;
}

enum class Failure { None, Hang, Crash, WrongTail };

struct Outcome {
    Failure failure = Failure::None;
    std::string detail;
    double exitMs = 0;
};

Outcome hangOrCrash(const ProgramUnderTest& program, const std::string& what)
{
    if (program.running()) {
        return {Failure::Hang, what};
    }
    return {Failure::Crash, what + ", ended with status " + std::to_string(program.exitCode())};
}

Outcome runRound(Installation& installed, const ExitPath& path, DWORD onMs)
{
    DeleteFileW(installed.sim().logPath().c_str());
    const auto program = installed.start();
    HWND window = program->waitForShownMainWindow(kShowTimeoutMs);
    if (window == nullptr || !IsWindowVisible(window)) {
        return hangOrCrash(*program, "the window did not show");
    }
    if (!press(window, IDC_ON, kClickTimeoutMs) || !press(window, IDC_APPLY, kClickTimeoutMs)) {
        return hangOrCrash(*program, "On and Apply were not handled");
    }
    Sleep(onMs);
    if (!path.take(window)) {
        return hangOrCrash(*program, "Hide was not handled");
    }
    const double start = nowMs();
    if (!program->waitForExit(kExitTimeoutMs)) {
        return {Failure::Hang, "still running " + std::to_string(kExitTimeoutMs) + " ms after the exit"};
    }
    Outcome outcome;
    outcome.exitMs = nowMs() - start;
    if (program->exitCode() != 0) {
        outcome.failure = Failure::Crash;
        outcome.detail = "ended with status " + std::to_string(program->exitCode());
        return outcome;
    }
    const Writes expected = resetWrites(kBoard);
    const Writes tail = installed.lastTransactions(expected.size());
    if (tail != expected) {
        outcome.failure = Failure::WrongTail;
        outcome.detail = "the log ends with" + describe(tail);
    }
    return outcome;
}

struct Options {
    int rounds = kDefaultRounds;
    int slowMs = kDefaultSlowMs;
    unsigned seed = 0;
};

bool parse(int argc, char** argv, Options& options)
{
    options.seed = GetTickCount();
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--slow") == 0 && hasValue) {
            options.slowMs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--seed") == 0 && hasValue) {
            options.seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else if (argv[i][0] != '-') {
            options.rounds = std::atoi(argv[i]);
        } else {
            return false;
        }
    }
    return options.rounds > 0 && options.slowMs >= 0;
}

struct ExitTimes {
    std::vector<double> times;

    void print(const char* load) const
    {
        if (times.empty()) {
            return;
        }
        std::vector<double> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        std::printf("exit time with %s: median %.0f ms, longest %.0f ms\n", load, sorted[sorted.size() / 2],
                    sorted.back());
    }
};

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: reliability [rounds] [--slow MS] [--seed N]\n");
        return 2;
    }
    std::printf("%d rounds, slow transactions of %d ms, seed %u\n", options.rounds, options.slowMs,
                options.seed);
    std::fflush(stdout);

    int hangs = 0;
    int crashes = 0;
    int wrongTails = 0;
    ExitTimes exitTimes[2];
    try {
        Installation installed(kBoard);
        std::mt19937 random(options.seed);
        std::uniform_int_distribution<size_t> pickPath(0, std::size(kExitPaths) - 1);
        std::uniform_int_distribution<DWORD> pickOnTime(0, kLongestOnMs);
        const double start = nowMs();
        for (int round = 1; round <= options.rounds; ++round) {
            const Load load = round % 2 == 1 ? Load::FastReadings : Load::SlowTransactions;
            const ExitPath& path = kExitPaths[pickPath(random)];
            const DWORD onMs = pickOnTime(random);
            installed.sim().apply(settingsFor(load, options.slowMs));
            const Outcome outcome = runRound(installed, path, onMs);
            switch (outcome.failure) {
            case Failure::None:
                exitTimes[static_cast<int>(load)].times.push_back(outcome.exitMs);
                continue;
            case Failure::Hang:
                ++hangs;
                break;
            case Failure::Crash:
                ++crashes;
                break;
            case Failure::WrongTail:
                ++wrongTails;
                break;
            }
            std::printf("round %d (%s, On for %lu ms, %s): %s\n", round, nameOf(load), onMs, path.name,
                        outcome.detail.c_str());
            std::fflush(stdout);
        }
        std::printf("%d rounds in %.0f s\n", options.rounds, (nowMs() - start) / 1000.0);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "reliability: %s\n", failure.what());
        return 2;
    }
    exitTimes[static_cast<int>(Load::FastReadings)].print(nameOf(Load::FastReadings));
    exitTimes[static_cast<int>(Load::SlowTransactions)].print(nameOf(Load::SlowTransactions));
    std::printf("hangs: %d, crashes: %d, logs not ending with the reset: %d\n", hangs, crashes, wrongTails);
    return hangs + crashes + wrongTails == 0 ? 0 : 1;
}
