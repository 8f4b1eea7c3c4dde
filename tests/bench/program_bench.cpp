// Norvik_Tallo.exe running on a simulated Radeon HD 6900 series: start-up to
// the visible window and the pieces it is made of, memory in use, how soon a
// new reading shows on the lamps, how long Close takes, and CPU while On and
// while Off.
#include "card/Factory.h"
#include "card/Handles.h"
#include "card/RadeonHD6970.h"
#include "detect/CardModel.h"
#include "program_driver.h"
#include "res/resource.h"
#include "skin/RegionRuns.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using namespace nt_test;

namespace {

constexpr int kStartRuns = 10;
constexpr int kRegionBuilds = 21;
constexpr int kReadingChanges = 20;
constexpr DWORD kCpuRunMs = 10000;
constexpr DWORD kShowTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;
// Let polling run a few passes before the program is closed.
constexpr DWORD kOnBeforeCloseMs = 600;
// Waits poll this often: the usual 20 ms is too coarse for these figures.
constexpr DWORD kFinePollMs = 1;

const Board& kBoard = kRadeon6900;

struct Spread {
    double median;
    double longest;
};

Spread spreadOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

void print(const std::string& figure, double value, const char* unit)
{
    std::printf("%s\t%.1f\t%s\n", figure.c_str(), value, unit);
}

void printSpread(const std::string& figure, const Spread& spread, int count)
{
    print(figure + ", median of " + std::to_string(count), spread.median, "ms");
    print(figure + ", longest of " + std::to_string(count), spread.longest, "ms");
}

// ---- The pieces of start-up, timed in this process as the window runs them.

struct StartPieces {
    SIZE face;
    double firstIdentification;
    double secondIdentification;
    double regionBuild;
    double cardStart;
};

// The window's shaped region comes from its face picture, read once.
double regionBuildMs(SIZE& faceSize)
{
    const HBITMAP face = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_FACE));
    if (face == nullptr) {
        throw std::runtime_error("the face picture is not linked in");
    }
    BITMAP size{};
    GetObjectA(face, sizeof size, &size);
    faceSize = {size.bmWidth, size.bmHeight};
    std::vector<double> times;
    for (int build = 0; build < kRegionBuilds; ++build) {
        HRGN region = nullptr;
        times.push_back(millisecondsOf(
            [&] { region = createRunRegion(face, NT_FACE_KEY_COLOR, size.bmWidth, size.bmHeight); }));
        DeleteObject(region);
    }
    DeleteObject(face);
    return spreadOf(times).median;
}

// Card start as the window does it: card and lamp mapping made, the card
// reset while its thread waits, then the thread let go.
double cardStartMs()
{
    const DLL_DIRECTORY_COOKIE standIn = AddDllDirectory((simDir() + L"\\" + kBoard.library).c_str());
    if (standIn == nullptr) {
        throw std::runtime_error("the stand-in library's folder is missing");
    }
    std::unique_ptr<VideoCardBase> card;
    std::unique_ptr<LedProcess> lamps;
    const double time = millisecondsOf([&] {
        TalloFactory factory(kRadeonHD6900Model);
        card = factory.createVideoCard();
        lamps = factory.createLedProcess();
        card->listener = lamps.get();
        card->reset();
        ResumeThread(card->threadHandle());
    });
    card.reset();
    RemoveDllDirectory(standIn);
    return time;
}

StartPieces measureStartPieces()
{
    StartPieces pieces{};
    int model = kUnknownCardModel;
    pieces.firstIdentification = millisecondsOf([&] { model = identifyCardModel(); });
    pieces.secondIdentification = millisecondsOf([&] { model = identifyCardModel(); });
    if (model != kBoard.model) {
        throw std::runtime_error("the platform does not report the simulated board");
    }
    pieces.regionBuild = regionBuildMs(pieces.face);
    pieces.cardStart = cardStartMs();
    return pieces;
}

// ---- The program itself, driven from outside.

struct Started {
    std::unique_ptr<ProgramUnderTest> program;
    HWND window = nullptr;
    double startMs = 0;
};

Started startAndShow(const Installation& installed)
{
    Started started;
    const double start = nowMs();
    started.program = installed.start();
    const bool shown = waitUntil(
        [&] {
            started.window = started.program->mainWindow();
            return started.window != nullptr && IsWindowVisible(started.window);
        },
        kShowTimeoutMs, kFinePollMs);
    started.startMs = nowMs() - start;
    if (!shown) {
        throw std::runtime_error("the main window did not show");
    }
    return started;
}

double closeToExitMs(const Started& started)
{
    click(started.window, IDC_CLOSE);
    const double start = nowMs();
    if (!started.program->waitForExit(kExitTimeoutMs)) {
        throw std::runtime_error("the program did not end after Close");
    }
    return nowMs() - start;
}

// A triangle fast enough that nearly every polling pass passes a new reading on.
sim::SimSettings changingReadings()
{
    sim::SimSettings settings;
    settings.register25.kind = sim::Register25::Kind::Wave;
    settings.register25.low = 0;
    settings.register25.high = 150;
    settings.register25.periodMs = 2000;
    return settings;
}

std::string rowOf(int lamps)
{
    return std::string(static_cast<size_t>(lamps), '1') +
           std::string(static_cast<size_t>(kBoard.lamps - lamps), '0');
}

// Readings of this board and the lamps each lights, in an order where every
// row differs from the one before.
struct Reading {
    int value;
    int lamps;
};
constexpr Reading kReadings[] = {{90, 14}, {20, 2}, {70, 10}, {50, 6}, {35, 4}, {78, 12}, {60, 8}};

std::vector<double> readingToLampsMs(Installation& installed, HWND window)
{
    // Changes land at random moments of the polling interval.
    std::mt19937 random(1);
    std::uniform_int_distribution<DWORD> pause(0, RadeonHD6970::kIntervalMs);
    std::vector<double> times;
    for (int change = 0; change < kReadingChanges; ++change) {
        const Reading& reading = kReadings[static_cast<size_t>(change) % std::size(kReadings)];
        Sleep(pause(random));
        installed.sim().apply(sim::withRegister25(reading.value), false);
        const double start = nowMs();
        const std::string expected = rowOf(reading.lamps);
        if (!waitUntil([&] { return lampRow(window, kBoard.lamps) == expected; }, kShowTimeoutMs,
                       kFinePollMs)) {
            throw std::runtime_error("the lamps did not show reading " + std::to_string(reading.value));
        }
        times.push_back(nowMs() - start);
    }
    return times;
}

class ProcessProbe {
public:
    explicit ProcessProbe(DWORD processId)
        : processId_(processId),
          process_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId))
    {
        if (!process_) {
            throw std::runtime_error("cannot open the program's process");
        }
    }

    // The sum over the process's threads: Wine reports no CPU times for
    // another process as a whole, but does for each of its threads.
    double cpuMs() const
    {
        const card::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        double total = 0;
        for (BOOL more = Thread32First(snapshot.get(), &entry); more;
             more = Thread32Next(snapshot.get(), &entry)) {
            if (entry.th32OwnerProcessID == processId_) {
                const card::UniqueKernelHandle thread(
                    OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID));
                total += threadCpuMs(thread.get());
            }
        }
        return total;
    }

    double cpuPerMinuteMs(DWORD overMs) const
    {
        const double before = cpuMs();
        Sleep(overMs);
        return (cpuMs() - before) * (60000.0 / overMs);
    }

    // PagefileUsage is the process's private commit, the same figure as
    // PrivateUsage, which Wine leaves at 0.
    PROCESS_MEMORY_COUNTERS memory() const
    {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(process_.get(), &counters, sizeof counters);
        return counters;
    }

private:
    DWORD processId_;
    card::UniqueKernelHandle process_;
};

struct RunningFigures {
    double cpuOffPerMinute;
    double cpuOnPerMinute;
    std::vector<double> readingToLamps;
    PROCESS_MEMORY_COUNTERS memory;
};

// One long run: Off first, then On with readings to follow.
RunningFigures measureRunning(Installation& installed)
{
    RunningFigures figures{};
    installed.sim().apply(sim::withRegister25(kReadings[0].value), false);
    const Started started = startAndShow(installed);
    const ProcessProbe probe(started.program->processId());
    figures.cpuOffPerMinute = probe.cpuPerMinuteMs(kCpuRunMs);

    switchOn(started.window);
    if (!waitUntil([&] { return lampRow(started.window, kBoard.lamps) == rowOf(kReadings[0].lamps); },
                   kShowTimeoutMs, kFinePollMs)) {
        throw std::runtime_error("the lamps do not follow the readings");
    }
    figures.readingToLamps = readingToLampsMs(installed, started.window);

    installed.sim().apply(changingReadings(), false);
    figures.cpuOnPerMinute = probe.cpuPerMinuteMs(kCpuRunMs);
    figures.memory = probe.memory();
    closeToExitMs(started);
    return figures;
}

struct StartAndClose {
    std::vector<double> startMs;
    std::vector<double> closeMs;
};

StartAndClose measureStartAndClose(Installation& installed)
{
    StartAndClose times;
    installed.sim().apply(changingReadings(), false);
    for (int run = 0; run < kStartRuns; ++run) {
        const Started started = startAndShow(installed);
        times.startMs.push_back(started.startMs);
        switchOn(started.window);
        Sleep(kOnBeforeCloseMs);
        times.closeMs.push_back(closeToExitMs(started));
    }
    return times;
}

} // namespace

int main()
{
    try {
        Installation installed(kBoard);
        const StartPieces pieces = measureStartPieces();
        const StartAndClose startAndClose = measureStartAndClose(installed);
        const RunningFigures running = measureRunning(installed);

        const Spread start = spreadOf(startAndClose.startMs);
        printSpread("start to visible window", start, kStartRuns);
        print("  card identification, first (COM start-up)", pieces.firstIdentification, "ms");
        print("  card identification, second", pieces.secondIdentification, "ms");
        print("  shaped region, face " + std::to_string(pieces.face.cx) + "x" +
                  std::to_string(pieces.face.cy) + " (median of " + std::to_string(kRegionBuilds) + ")",
              pieces.regionBuild, "ms");
        print("  card start (create, reset, resume)", pieces.cardStart, "ms");
        print("  rest (median start less the pieces above)",
              start.median - pieces.firstIdentification - pieces.secondIdentification - pieces.regionBuild -
                  pieces.cardStart,
              "ms");
        print("working set, running On", static_cast<double>(running.memory.WorkingSetSize) / 1024.0, "KiB");
        print("private bytes, running On", static_cast<double>(running.memory.PagefileUsage) / 1024.0, "KiB");
        print("polling interval of the board", RadeonHD6970::kIntervalMs, "ms");
        printSpread("register 25 change to lamps", spreadOf(running.readingToLamps), kReadingChanges);
        printSpread("Close to process exit, polling On", spreadOf(startAndClose.closeMs), kStartRuns);
        const std::string cpuRun = " (from " + std::to_string(kCpuRunMs / 1000) + " s)";
        print("CPU per minute, Off" + cpuRun, running.cpuOffPerMinute, "ms");
        print("CPU per minute, On with changing readings" + cpuRun, running.cpuOnPerMinute, "ms");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "program_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
