#pragma once
// Drives Norvik_Tallo.exe from outside, as a user or another program would:
// installs it in a folder of its own with a simulated card, starts it, finds
// its windows, clicks its controls and reads the stand-in library's log.
#include <windows.h>

#include "SimControl.h"
#include "expected_writes.h"
#include "nt_test.h"
#include "program_windows.h"
#include "res/resource.h"

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace nt_test {

// A supported board as the platform reports it, and what the window shows for it.
struct Board {
    const char* name;
    int model;
    DWORD pciVendor;
    DWORD pciDevice;
    const wchar_t* library; // stand-in folder under <build>\sim
    int lamps;              // shown, from the left
    int greenLamps;         // of those, green when lit; the rest red
};

// Test names print a board by its name.
void PrintTo(const Board& board, std::ostream* out);

extern const Board kRadeon6800;
extern const Board kRadeon6900;
extern const Board kGeForce560Ti;
extern const Board kGeForce580;
extern const Board kAllBoards[4];

// A running copy of a program, ended (if still running) when destroyed.
class ProgramUnderTest {
public:
    ProgramUnderTest(const std::wstring& exePath, const std::wstring& workingDir);
    ~ProgramUnderTest();
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    DWORD processId() const { return processId_; }

    // The main dialog (it holds the On button), once it exists; it may be hidden.
    HWND waitForMainWindow(DWORD timeoutMs = 20000) const;
    // The main dialog once it is shown; still hidden (or null) when it is not
    // shown in time.
    HWND waitForShownMainWindow(DWORD timeoutMs = 20000) const;
    HWND mainWindow() const;
    // A message box of this process (its text is the static child 0xFFFF).
    HWND waitForMessageBox(DWORD timeoutMs = 20000) const;
    HWND messageBox() const;
    // The tray icon's hidden window.
    HWND trayWindow() const;
    // The icon's menu while it is open.
    HWND openMenu() const;

    bool waitForExit(DWORD timeoutMs) const;
    bool running() const { return !waitForExit(0); }
    DWORD exitCode() const;

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// A folder with Norvik_Tallo.exe and, unless told otherwise, the board's
// stand-in library; the stand-in's control file and log live there too, and
// the platform reports the board's adapter for the fixture's lifetime.
class Installation {
public:
    // variant: the stand-in folder under <build>\sim to take the library
    // from; empty for the board's own, nullptr for none at all.
    explicit Installation(const Board& board, const wchar_t* variant = L"");

    sim::SimControl& sim() { return sim_; }
    const std::wstring& folder() const { return dir_.path(); }
    std::unique_ptr<ProgramUnderTest> start() const;

    // Register writes in the log so far.
    Writes writes() const;
    // The last `count` controller transactions of the log; a read counts as
    // register -1, so one after the card's reset shows as a mismatch.
    Writes lastTransactions(size_t count) const;
    // Register 25 reads in the log so far.
    int reads() const;

private:
    TempDir dir_;
    sim::SimControl sim_;
    ScopedDisplayAdapter adapter_;
};

std::wstring windowText(HWND window);
std::wstring messageBoxText(HWND box);
bool checked(HWND dialog, int id);
bool visible(HWND dialog, int id);

// Whether the window's own message loop runs: it repaints the window within a
// few seconds. A sent message would prove nothing, as the program answers
// those inside its waits for the card too.
bool repaints(HWND window);

// Clicks a control as the system would for a mouse click (a posted BM_CLICK,
// so a handler that takes a while or opens a box does not block the caller).
void click(HWND dialog, int id);
// Clicks a control and returns once the program has handled the click;
// false when it has not within timeoutMs.
bool press(HWND dialog, int id, DWORD timeoutMs = 10000);
// Selects On and applies it, as the user does.
bool switchOn(HWND dialog);
// Posts the command a menu item or button sends to the window.
void command(HWND window, int id);

// The first `count` lamps, as a row of 0 (dark) and 1 (lit).
std::string lampRow(HWND dialog, int count);
// Whether the shell still holds the program's icon (ID 1 of its tray window).
bool trayIconShown(HWND trayWindow);

// The card's reset as the controller sees it: the default table (register 23,
// then 1 to 22) and, on the 6900 series, its disable set.
Writes resetWrites(const Board& board);

// The average colour of a control's pixels on the screen (a 24-bit display).
COLORREF averageColour(HWND dialog, int id);
// A lit lamp's colours; a dark lamp is grey, neither.
bool isGreen(COLORREF colour);
bool isRed(COLORREF colour);

// A started program with its window shown, and the log read from a mark on.
class Running {
public:
    explicit Running(const Board& board, int firstReading = 0)
        : Running(board, sim::withRegister25(firstReading))
    {
    }
    // The stand-in simulates these from the program's start on.
    Running(const Board& board, const sim::SimSettings& settings) : board_(board), installed_(board)
    {
        installed_.sim().apply(settings);
        program_ = installed_.start();
        window_ = program_->waitForShownMainWindow();
        mark();
    }

    HWND window() const { return window_; }
    ProgramUnderTest& program() { return *program_; }
    Installation& installed() { return installed_; }
    const Board& board() const { return board_; }

    void setReading(int value) { installed_.sim().apply(sim::withRegister25(value)); }
    // The stand-in's transactions held back so far, as by a driver that hangs.
    std::size_t blocks() { return installed_.sim().log("Block").size(); }
    void mark() { mark_ = installed_.writes().size(); }
    Writes writesSinceMark() const
    {
        const Writes all = installed_.writes();
        return Writes(all.begin() + static_cast<std::ptrdiff_t>(std::min(mark_, all.size())), all.end());
    }
    // Waits for the traffic of a command to end: nothing new for a while.
    Writes settledWrites() const
    {
        Writes last;
        waitUntil(
            [&] {
                Writes now = writesSinceMark();
                const bool same = now == last && !now.empty();
                last = std::move(now);
                return same;
            },
            5000);
        Sleep(300);
        return writesSinceMark();
    }

    // Clicks a button and returns once the program has handled the click.
    void press(int id) { nt_test::press(window_, id); }
    void switchOn() { nt_test::switchOn(window_); }

    // The lamps lit now, as a row of 0 and 1.
    std::string lamps() const { return lampRow(window_, board_.lamps); }
    bool lampsBecome(const std::string& row, DWORD timeoutMs = 5000) const
    {
        return waitUntil([&] { return lamps() == row; }, timeoutMs);
    }
    std::string allLit() const { return std::string(static_cast<size_t>(board_.lamps), '1'); }

private:
    Board board_;
    Installation installed_;
    std::unique_ptr<ProgramUnderTest> program_;
    HWND window_ = nullptr;
    size_t mark_ = 0;
};

// A way out of the program, taken as the user takes it.
struct WayOut {
    const char* name;
    void (*take)(Running& app);
};
void PrintTo(const WayOut& path, std::ostream* out);

// Close, the cross button, tray Exit (while hidden), Enter and Escape.
extern const WayOut kWaysOut[5];

} // namespace nt_test
