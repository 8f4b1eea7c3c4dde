// Norvik_Tallo.exe running on a simulated Radeon HD 6900 series: start-up to
// the visible window and the pieces it is made of, memory in use, how soon a
// new reading shows on the lamps and where that time goes, how long Close
// takes, and CPU per thread in each case (lamps changing, shown and hidden; a
// steady reading; Off), each beside the floor's, a program doing only the
// traffic that the design fixes (lamp_floor.exe), and beside what Wine's
// server and the X server spent meanwhile; the stand-in's own share too.
// NT_BENCH_CPU_SECONDS sets how long each CPU case runs (60 s by default).
#include "card/CardModels.h"
#include "card/Factory.h"
#include "card/board/RadeonHD6970.h"
#include "card/lamps/LedProcess.h"
#include "common/UniqueHandle.h"
#include "detect/CardModel.h"
#include "program_driver.h"
#include "res/resource.h"
#include "skin/RegionRuns.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <map>
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
constexpr DWORD kDefaultCpuRunMs = 60000;
constexpr DWORD kShowTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;
// Let polling run a few passes before the program is closed.
constexpr DWORD kOnBeforeCloseMs = 600;
// Waits poll this often: the usual 20 ms is too coarse for these figures.
constexpr DWORD kFinePollMs = 1;
constexpr char kMutexName[] = "Norvik_Tallo";
// The steady reading of the CPU cases.
constexpr int kSteadyReading = 50;

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
        card->setListener(lamps.get());
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

DWORD cpuRunMs()
{
    char seconds[16] = {};
    if (GetEnvironmentVariableA("NT_BENCH_CPU_SECONDS", seconds, sizeof seconds) > 0) {
        const int value = std::atoi(seconds);
        if (value > 0) {
            return static_cast<DWORD>(value) * 1000;
        }
    }
    return kDefaultCpuRunMs;
}

bool mutexExists()
{
    const UniqueKernelHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, kMutexName));
    return static_cast<bool>(mutex);
}

// Moments of one start, in ms from the call that starts the process.
struct StartMilestones {
    double processCreated = 0;
    double mutexCreated = 0; // the program's own code runs
    double windowCreated = 0;
    double windowShown = 0;
};

struct Started {
    std::unique_ptr<ProgramUnderTest> program;
    HWND window = nullptr;
    StartMilestones at;
};

Started startAndShow(const Installation& installed)
{
    Started started;
    const double start = nowMs();
    started.program = installed.start();
    started.at.processCreated = nowMs() - start;
    auto until = [&](auto condition, double& at) {
        if (!waitUntil(condition, kShowTimeoutMs, kFinePollMs)) {
            throw std::runtime_error("the main window did not show");
        }
        at = nowMs() - start;
    };
    until(mutexExists, started.at.mutexCreated);
    until([&] { return (started.window = started.program->mainWindow()) != nullptr; },
          started.at.windowCreated);
    until([&] { return IsWindowVisible(started.window) != FALSE; }, started.at.windowShown);
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

// A named callback rather than a lambda: a lambda's conversion to the
// system's calling convention is not standard C++.
BOOL CALLBACK findVisibleWindow(HWND candidate, LPARAM found)
{
    if (!IsWindowVisible(candidate)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(found) = candidate;
    return FALSE;
}

// A window of the simplest kind, in a program that does nothing else: what
// the platform itself takes from a start to a visible window.
double bareWindowStartMs()
{
    const std::wstring program = moduleDir() + L"\\bare_window.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring line = L"\"" + program + L"\"";
    const double start = nowMs();
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        throw std::runtime_error("cannot start bare_window.exe");
    }
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    HWND window = nullptr;
    const bool shown = waitUntil(
        [&] {
            window = nullptr;
            EnumThreadWindows(info.dwThreadId, &findVisibleWindow, reinterpret_cast<LPARAM>(&window));
            return window != nullptr;
        },
        kShowTimeoutMs, kFinePollMs);
    const double time = nowMs() - start;
    if (shown) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.get(), kExitTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.get(), 1);
    }
    if (!shown) {
        throw std::runtime_error("the bare window did not show");
    }
    return time;
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

// One reading change to the lamps, in three parts: until the polling pass that
// reads the new value begins, that pass, and from its last read to the lamps
// seen here.
struct ReadingToLamps {
    double total;
    double untilPass;
    double pass;
    double toLamps;
};

// The stand-in's times are microseconds of the same counter as nowMs().
ReadingToLamps splitByLog(const sim::SimControl& control, double changedAt, double shownAt, double total)
{
    ReadingToLamps split{total, 0, 0, 0};
    std::vector<double> reads;
    for (const sim::LogEntry& entry : control.log("WriteAndReadI2C")) {
        const double at = static_cast<double>(entry.field("time")) / 1000.0;
        if (entry.field("register") == sim::kReadingRegister && at >= changedAt && at <= shownAt) {
            reads.push_back(at);
        }
    }
    if (reads.size() < 2) {
        return split;
    }
    // The last pass: the reads that follow each other closely before the lamps changed.
    std::size_t first = reads.size() - 1;
    while (first > 0 && reads[first] - reads[first - 1] < kRadeonHD6900Spec.pollIntervalMs / 2.0) {
        --first;
    }
    split.untilPass = reads[first] - changedAt;
    split.pass = reads.back() - reads[first];
    split.toLamps = shownAt - reads.back();
    return split;
}

std::vector<ReadingToLamps> readingToLamps(Installation& installed, HWND window)
{
    // Changes land at random moments of the polling interval.
    std::mt19937 random(1);
    std::uniform_int_distribution<DWORD> pause(0, kRadeonHD6900Spec.pollIntervalMs);
    std::vector<ReadingToLamps> times;
    for (int change = 0; change < kReadingChanges; ++change) {
        const Reading& reading = kReadings[static_cast<size_t>(change) % std::size(kReadings)];
        Sleep(pause(random));
        installed.sim().clearLog();
        installed.sim().apply(sim::withRegister25(reading.value));
        const double start = nowMs();
        const std::string expected = rowOf(reading.lamps);
        if (!waitUntil([&] { return lampRow(window, kBoard.lamps) == expected; }, kShowTimeoutMs,
                       kFinePollMs)) {
            throw std::runtime_error("the lamps did not show reading " + std::to_string(reading.value));
        }
        const double shown = nowMs();
        times.push_back(splitByLog(installed.sim(), start, shown, shown - start));
    }
    return times;
}

// ---- CPU per case: the program's per thread, the floor's (lamp_floor.exe,
// the same traffic done the cheapest way), and what the platform's servers
// spent meanwhile.

// CPU time used so far by each thread of a process, by thread id.
using ThreadTimes = std::map<DWORD, double>;

class ProcessProbe {
public:
    explicit ProcessProbe(DWORD processId)
        : processId_(processId),
          process_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId))
    {
        if (!process_) {
            throw std::runtime_error("cannot open a measured process");
        }
    }

    // Thread by thread: Wine reports far too little CPU for another process
    // as a whole, but the right times for each of its threads.
    ThreadTimes threadTimes() const
    {
        const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        ThreadTimes times;
        for (BOOL more = Thread32First(snapshot.get(), &entry); more;
             more = Thread32Next(snapshot.get(), &entry)) {
            if (entry.th32OwnerProcessID == processId_) {
                const UniqueKernelHandle thread(
                    OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID));
                times[entry.th32ThreadID] = threadCpuMs(thread.get());
            }
        }
        return times;
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
    UniqueKernelHandle process_;
};

// A folder search, closed with FindClose.
using UniqueFind = UniqueHandle<HANDLE, &::FindClose, InvalidHandleValue>;

// A process of the host that scripts/bench names by its pid in an environment
// variable: Wine's server and the X server. Its CPU time is read from /proc,
// which the Z: drive shows as the host has it.
class HostProcess {
public:
    explicit HostProcess(const char* variable)
    {
        char pid[16] = {};
        const DWORD length = GetEnvironmentVariableA(variable, pid, sizeof pid);
        if (length > 0 && length < sizeof pid) {
            tasks_ = L"Z:\\proc\\" + std::wstring(pid, pid + length) + L"\\task\\";
        }
    }

    bool known() const { return !tasks_.empty(); }

    // All its threads' time on a processor so far: the first field of each
    // thread's schedstat, in nanoseconds (finer than the ticks of stat).
    double cpuMs() const
    {
        double nanoseconds = 0;
        WIN32_FIND_DATAW task{};
        const UniqueFind search(FindFirstFileW((tasks_ + L"*").c_str(), &task));
        for (BOOL more = static_cast<bool>(search); more; more = FindNextFileW(search.get(), &task)) {
            if (task.cFileName[0] != L'.') {
                nanoseconds +=
                    std::strtod(readFile(tasks_ + task.cFileName + L"\\schedstat").c_str(), nullptr);
            }
        }
        return nanoseconds / 1e6;
    }

private:
    std::wstring tasks_;
};

const HostProcess& wineServer()
{
    static const HostProcess server("NT_BENCH_WINESERVER_PID");
    return server;
}

const HostProcess& xServer()
{
    static const HostProcess server("NT_BENCH_XSERVER_PID");
    return server;
}

// What the platform's servers spent, ms per minute.
struct ServerCpu {
    double wine = 0;
    double x = 0;
};

// One span of a case, per minute: each thread of the process, and the servers.
struct Span {
    ThreadTimes threads;
    ServerCpu servers;
};

Span measureSpan(const ProcessProbe& probe, DWORD overMs)
{
    const double wineBefore = wineServer().known() ? wineServer().cpuMs() : 0;
    const double xBefore = xServer().known() ? xServer().cpuMs() : 0;
    const ThreadTimes before = probe.threadTimes();
    const double start = nowMs();
    Sleep(overMs);
    Span span{probe.threadTimes(), {}};
    const double perMinute = 60000.0 / (nowMs() - start);
    for (auto& [thread, ms] : span.threads) {
        const auto earlier = before.find(thread);
        ms = (ms - (earlier == before.end() ? 0.0 : earlier->second)) * perMinute;
    }
    span.servers.wine = wineServer().known() ? (wineServer().cpuMs() - wineBefore) * perMinute : 0;
    span.servers.x = xServer().known() ? (xServer().cpuMs() - xBefore) * perMinute : 0;
    return span;
}

// CPU of one case, ms per minute.
struct CpuSplit {
    double window = 0;
    double polling = 0;
    double rest = 0;
    double whole = 0;
};

// The polling thread is the one besides the window's that works hardest while
// polling is on: the only other thread of ours, and the one calling the driver.
DWORD pollingThreadOf(const ThreadTimes& times, DWORD windowThread)
{
    DWORD busiest = 0;
    double most = -1;
    for (const auto& [thread, ms] : times) {
        if (thread != windowThread && ms > most) {
            busiest = thread;
            most = ms;
        }
    }
    return busiest;
}

CpuSplit splitOf(const ThreadTimes& times, DWORD windowThread, DWORD pollingThread)
{
    CpuSplit split;
    for (const auto& [thread, ms] : times) {
        (thread == windowThread ? split.window : thread == pollingThread ? split.polling : split.rest) += ms;
        split.whole += ms;
    }
    return split;
}

// The cases, in the order they are printed.
struct CpuCase {
    const char* name;
    bool polling;
    bool changing; // the reading changes on nearly every pass
    bool hidden;   // the window hidden to the notification area
};
constexpr CpuCase kCpuCases[] = {
    {"On, lamps changing every pass, window shown", true, true, false},
    {"On, steady reading, window shown", true, false, false},
    {"On, lamps changing every pass, window hidden", true, true, true},
    {"Off", false, false, false},
};
// Where the logging stand-in is measured too.
constexpr std::size_t kLoggedCases[] = {3, 1, 0};

struct CaseFigures {
    CpuSplit cpu;
    ServerCpu servers;
};

// A quiet stand-in keeps no log and never looks at its control file again:
// what is left is the program's own.
sim::SimSettings settingsFor(const CpuCase& cpuCase, bool quietStandIn)
{
    sim::SimSettings settings = cpuCase.changing ? changingReadings() : sim::withRegister25(kSteadyReading);
    settings.frozen = quietStandIn;
    return settings;
}

// Long enough for a few passes On, to tell the polling thread in the Off case.
constexpr DWORD kFindPollingThreadMs = 2000;

// The program in one case, from a start of its own.
CaseFigures programCase(Installation& installed, const CpuCase& cpuCase, bool quietStandIn,
                        PROCESS_MEMORY_COUNTERS* memory = nullptr)
{
    installed.sim().apply(settingsFor(cpuCase, quietStandIn), !quietStandIn);
    const Started started = startAndShow(installed);
    const ProcessProbe probe(started.program->processId());
    if (cpuCase.polling) {
        switchOn(started.window);
        const std::string steadyRow = rowOf(LedProcess::lampCountFor(kRadeonHD6900Spec, kSteadyReading));
        if (!cpuCase.changing &&
            !waitUntil([&] { return lampRow(started.window, kBoard.lamps) == steadyRow; }, kShowTimeoutMs)) {
            throw std::runtime_error("the lamps do not follow the readings");
        }
        Sleep(kOnBeforeCloseMs);
    }
    if (cpuCase.hidden) {
        click(started.window, IDC_HIDE);
        if (!waitUntil([&] { return IsWindowVisible(started.window) == FALSE; }, kShowTimeoutMs)) {
            throw std::runtime_error("the window did not hide");
        }
    }
    installed.sim().settle();
    const Span span = measureSpan(probe, cpuRunMs());
    if (memory != nullptr) {
        *memory = probe.memory();
    }
    const DWORD windowThread = GetWindowThreadProcessId(started.window, nullptr);
    DWORD pollingThread = pollingThreadOf(span.threads, windowThread);
    if (!cpuCase.polling) {
        switchOn(started.window);
        pollingThread = pollingThreadOf(measureSpan(probe, kFindPollingThreadMs).threads, windowThread);
    }
    closeToExitMs(started);
    return {splitOf(span.threads, windowThread, pollingThread), span.servers};
}

// lamp_floor.exe running on the program's stand-in, ended when this goes.
class FloorProgram {
public:
    explicit FloorProgram(bool polling)
    {
        const std::wstring program = moduleDir() + L"\\lamp_floor.exe";
        std::wstring line = L"\"" + program + L"\" \"" + simDir() + L"\\" + kBoard.library + L"\\" +
                            kBoard.library + L".dll\" " + (polling ? L"on" : L"off");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info)) {
            throw std::runtime_error("cannot start lamp_floor.exe");
        }
        process_.reset(info.hProcess);
        CloseHandle(info.hThread);
        processId_ = info.dwProcessId;
        windowThread_ = info.dwThreadId;
        if (!waitUntil(
                [&] {
                    panel_ = findWindowOf(processId_,
                                          [](HWND window) { return IsWindowVisible(window) != FALSE; });
                    return panel_ != nullptr;
                },
                kShowTimeoutMs)) {
            throw std::runtime_error("the floor's panel did not show");
        }
    }
    ~FloorProgram()
    {
        PostThreadMessageW(windowThread_, WM_QUIT, 0, 0);
        if (WaitForSingleObject(process_.get(), kExitTimeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(process_.get(), 1);
        }
    }
    FloorProgram(const FloorProgram&) = delete;
    FloorProgram& operator=(const FloorProgram&) = delete;

    DWORD processId() const { return processId_; }
    DWORD windowThread() const { return windowThread_; }
    HWND panel() const { return panel_; }

private:
    UniqueKernelHandle process_;
    DWORD processId_ = 0;
    DWORD windowThread_ = 0;
    HWND panel_ = nullptr; // not owned: the floor's
};

CaseFigures floorCase(Installation& installed, const CpuCase& cpuCase)
{
    installed.sim().apply(settingsFor(cpuCase, true), false);
    const FloorProgram floor(cpuCase.polling);
    if (cpuCase.hidden) {
        ShowWindow(floor.panel(), SW_HIDE);
    }
    Sleep(kOnBeforeCloseMs);
    installed.sim().settle();
    const ProcessProbe probe(floor.processId());
    const Span span = measureSpan(probe, cpuRunMs());
    return {splitOf(span.threads, floor.windowThread(), pollingThreadOf(span.threads, floor.windowThread())),
            span.servers};
}

struct CpuFigures {
    std::vector<CaseFigures> program;
    std::vector<CaseFigures> floor;
    std::vector<CaseFigures> withLoggingStandIn;
    PROCESS_MEMORY_COUNTERS memory{};
};

// Each case of the program right before the floor's, so that noise from the
// shared machine is alike for the two.
CpuFigures measureCpu(Installation& installed)
{
    CpuFigures figures;
    for (const CpuCase& cpuCase : kCpuCases) {
        const bool first = figures.program.empty();
        figures.program.push_back(programCase(installed, cpuCase, true, first ? &figures.memory : nullptr));
        figures.floor.push_back(floorCase(installed, cpuCase));
    }
    for (const std::size_t index : kLoggedCases) {
        figures.withLoggingStandIn.push_back(programCase(installed, kCpuCases[index], false));
    }
    return figures;
}

struct StartAndClose {
    std::vector<StartMilestones> starts;
    std::vector<double> closeMs;
};

StartAndClose measureStartAndClose(Installation& installed)
{
    StartAndClose times;
    installed.sim().apply(changingReadings(), false);
    for (int run = 0; run < kStartRuns; ++run) {
        const Started started = startAndShow(installed);
        times.starts.push_back(started.at);
        switchOn(started.window);
        Sleep(kOnBeforeCloseMs);
        times.closeMs.push_back(closeToExitMs(started));
    }
    return times;
}

double medianOf(const std::vector<StartMilestones>& starts, double (*span)(const StartMilestones&))
{
    std::vector<double> spans;
    spans.reserve(starts.size());
    for (const StartMilestones& start : starts) {
        spans.push_back(span(start));
    }
    return spreadOf(spans).median;
}

void printStart(const StartAndClose& times, const StartPieces& pieces, double bareWindow)
{
    const auto& starts = times.starts;
    std::vector<double> shown;
    shown.reserve(starts.size());
    for (const StartMilestones& start : starts) {
        shown.push_back(start.windowShown);
    }
    const Spread start = spreadOf(shown);
    printSpread("start to visible window", start, kStartRuns);
    const double created = medianOf(starts, [](const StartMilestones& s) { return s.processCreated; });
    const double toMutex =
        medianOf(starts, [](const StartMilestones& s) { return s.mutexCreated - s.processCreated; });
    const double toWindow =
        medianOf(starts, [](const StartMilestones& s) { return s.windowCreated - s.mutexCreated; });
    const double toShown =
        medianOf(starts, [](const StartMilestones& s) { return s.windowShown - s.windowCreated; });
    const std::string median = " (median of " + std::to_string(kStartRuns) + ")";
    print("  process created" + median, created, "ms");
    print("  created to the program's mutex (loading, run-time start-up)" + median, toMutex, "ms");
    print("  mutex to window created" + median, toWindow, "ms");
    print("    of which card identification, first (COM start-up)", pieces.firstIdentification, "ms");
    print("  window created to shown" + median, toShown, "ms");
    print("    of which card identification, second", pieces.secondIdentification, "ms");
    print("    of which card start (create, reset, resume)", pieces.cardStart, "ms");
    print("    of which shaped region, face " + std::to_string(pieces.face.cx) + "x" +
              std::to_string(pieces.face.cy) + " (median of " + std::to_string(kRegionBuilds) + ")",
          pieces.regionBuild, "ms");
    print("  rest (median start less the pieces above)",
          start.median - pieces.firstIdentification - pieces.secondIdentification - pieces.regionBuild -
              pieces.cardStart,
          "ms");
    print("  a bare window program, start to visible window (the platform's own)", bareWindow, "ms");
}

void printServers(const std::string& indent, const ServerCpu& servers)
{
    if (wineServer().known()) {
        print(indent + "Wine's server meanwhile", servers.wine, "ms");
    }
    if (xServer().known()) {
        print(indent + "X server meanwhile", servers.x, "ms");
    }
}

void printCpuCase(const CpuCase& cpuCase, const CaseFigures& program, const CaseFigures& floor, DWORD runMs)
{
    const std::string from = " (ms per minute, from " + std::to_string(runMs / 1000) + " s)";
    print("CPU, " + std::string(cpuCase.name) + from, program.cpu.whole, "ms");
    print("  window thread", program.cpu.window, "ms");
    print("  polling thread", program.cpu.polling, "ms");
    print("  other threads", program.cpu.rest, "ms");
    printServers("  ", program.servers);
    print("  floor: the same traffic alone", floor.cpu.whole, "ms");
    print("    its window thread", floor.cpu.window, "ms");
    print("    its polling thread", floor.cpu.polling, "ms");
    printServers("    ", floor.servers);
    std::printf("  program / floor\t%.2f\tx\n",
                floor.cpu.whole > 0 ? program.cpu.whole / floor.cpu.whole : 0.0);
    std::printf("  program, share of one core\t%.3f\t%%\n", program.cpu.whole / 600.0);
}

void printReadingToLamps(const std::vector<ReadingToLamps>& times)
{
    std::vector<double> totals;
    totals.reserve(times.size());
    for (const ReadingToLamps& time : times) {
        totals.push_back(time.total);
    }
    printSpread("register 25 change to lamps", spreadOf(totals), kReadingChanges);
    const auto longest =
        std::max_element(times.begin(), times.end(),
                         [](const ReadingToLamps& a, const ReadingToLamps& b) { return a.total < b.total; });
    print("  longest: until the polling pass began", longest->untilPass, "ms");
    print("  longest: the pass (10 reads)", longest->pass, "ms");
    print("  longest: last read to lamps seen", longest->toLamps, "ms");
}

} // namespace

int main()
{
    try {
        Installation installed(kBoard);
        const StartPieces pieces = measureStartPieces();
        const double bareWindow = bareWindowStartMs();
        const StartAndClose startAndClose = measureStartAndClose(installed);

        installed.sim().apply(sim::withRegister25(kReadings[0].value));
        const Started started = startAndShow(installed);
        switchOn(started.window);
        if (!waitUntil([&] { return lampRow(started.window, kBoard.lamps) == rowOf(kReadings[0].lamps); },
                       kShowTimeoutMs, kFinePollMs)) {
            throw std::runtime_error("the lamps do not follow the readings");
        }
        const std::vector<ReadingToLamps> toLamps = readingToLamps(installed, started.window);
        closeToExitMs(started);

        const CpuFigures cpu = measureCpu(installed);

        printStart(startAndClose, pieces, bareWindow);
        print("working set, running On", static_cast<double>(cpu.memory.WorkingSetSize) / 1024.0, "KiB");
        print("private bytes, running On", static_cast<double>(cpu.memory.PagefileUsage) / 1024.0, "KiB");
        print("polling interval of the board", kRadeonHD6900Spec.pollIntervalMs, "ms");
        printReadingToLamps(toLamps);
        printSpread("Close to process exit, polling On", spreadOf(startAndClose.closeMs), kStartRuns);
        const DWORD runMs = cpuRunMs();
        for (std::size_t index = 0; index < std::size(kCpuCases); ++index) {
            printCpuCase(kCpuCases[index], cpu.program[index], cpu.floor[index], runMs);
        }
        std::printf("CPU with the stand-in logging and watching its control file (as tests run it)\t\t\n");
        for (std::size_t logged = 0; logged < std::size(kLoggedCases); ++logged) {
            print("  " + std::string(kCpuCases[kLoggedCases[logged]].name),
                  cpu.withLoggingStandIn[logged].cpu.whole, "ms");
        }
        print("  of which the polling thread (where the stand-in runs)",
              cpu.withLoggingStandIn.back().cpu.polling, "ms");
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "program_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
