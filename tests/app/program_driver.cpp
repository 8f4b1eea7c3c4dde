#include "program_driver.h"

#include <shellapi.h>

#include <stdexcept>

namespace nt_test {

const Board kRadeon6800{"Radeon HD 6800 series", 0, 0x1002, 0x6739, L"atipdlxx", 8, 0};
const Board kRadeon6900{"Radeon HD 6900 series", 1, 0x1002, 0x6719, L"atipdlxx", 14, 10};
const Board kGeForce560Ti{"GeForce GTX 560 Ti", 2, 0x10de, 0x1200, L"nvapi", 8, 0};
const Board kGeForce580{"GeForce GTX 580", 3, 0x10de, 0x1080, L"nvapi", 12, 6};
const Board kAllBoards[4] = {kRadeon6800, kRadeon6900, kGeForce560Ti, kGeForce580};

void PrintTo(const Board& board, std::ostream* out)
{
    *out << board.name;
}

namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr int kReadingRegister = 25;

bool isMessageBox(HWND window)
{
    return className(window) == L"#32770" && GetDlgItem(window, kMessageTextId) != nullptr;
}

// The framework's own window classes are named "NtWnd:<style>".
bool isTrayWindow(HWND window)
{
    return className(window).rfind(L"NtWnd:", 0) == 0;
}

bool isOpenMenu(HWND window)
{
    return className(window) == L"#32768" && IsWindowVisible(window);
}

bool isTransaction(const sim::LogEntry& entry)
{
    return entry.function == "WriteAndReadI2C" || entry.function == "I2CWrite" || entry.function == "I2CRead";
}

bool isWrite(const sim::LogEntry& entry)
{
    return (entry.function == "WriteAndReadI2C" && entry.field("action") == 2) ||
           entry.function == "I2CWrite";
}

bool isRead(const sim::LogEntry& entry)
{
    return (entry.function == "WriteAndReadI2C" && entry.field("action") == 1) || entry.function == "I2CRead";
}

bool isReadingRead(const sim::LogEntry& entry)
{
    return isRead(entry) && entry.field("register") == kReadingRegister;
}

} // namespace

ProgramUnderTest::ProgramUnderTest(const std::wstring& exePath, const std::wstring& workingDir)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::wstring line = L"\"" + exePath + L"\"";
    if (!CreateProcessW(exePath.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info)) {
        throw std::runtime_error("cannot start the program, error " + std::to_string(GetLastError()));
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
}

ProgramUnderTest::~ProgramUnderTest()
{
    if (running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

HWND ProgramUnderTest::mainWindow() const
{
    return findWindowOf(processId_, isMainWindow);
}

HWND ProgramUnderTest::messageBox() const
{
    return findWindowOf(processId_, isMessageBox);
}

HWND ProgramUnderTest::trayWindow() const
{
    return findWindowOf(processId_, isTrayWindow);
}

HWND ProgramUnderTest::openMenu() const
{
    return findWindowOf(processId_, isOpenMenu);
}

HWND ProgramUnderTest::waitForMainWindow(DWORD timeoutMs) const
{
    HWND found = nullptr;
    waitUntil([&] { return (found = mainWindow()) != nullptr; }, timeoutMs);
    return found;
}

HWND ProgramUnderTest::waitForShownMainWindow(DWORD timeoutMs) const
{
    HWND window = waitForMainWindow(timeoutMs);
    if (window != nullptr) {
        waitUntil([&] { return IsWindowVisible(window) != FALSE; }, timeoutMs);
    }
    return window;
}

HWND ProgramUnderTest::waitForMessageBox(DWORD timeoutMs) const
{
    HWND found = nullptr;
    waitUntil([&] { return (found = messageBox()) != nullptr && IsWindowVisible(found); }, timeoutMs);
    return found;
}

bool ProgramUnderTest::waitForExit(DWORD timeoutMs) const
{
    return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ProgramUnderTest::exitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

Installation::Installation(const Board& board, const wchar_t* variant)
    : sim_(dir_.path()), adapter_(board.pciVendor, board.pciDevice)
{
    copyFileOrThrow(productDir() + L"\\Norvik_Tallo.exe", dir_.file(L"Norvik_Tallo.exe"));
    if (variant != nullptr) {
        const std::wstring folder = *variant != L'\0' ? variant : board.library;
        const std::wstring library = std::wstring(board.library) == L"nvapi" ? L"nvapi.dll" : L"atipdlxx.dll";
        copyFileOrThrow(simDir() + L"\\" + folder + L"\\" + library, dir_.file(library));
    }
    sim_.apply(sim::SimSettings{});
}

std::unique_ptr<ProgramUnderTest> Installation::start() const
{
    return std::make_unique<ProgramUnderTest>(dir_.file(L"Norvik_Tallo.exe"), dir_.path());
}

Writes Installation::writes() const
{
    Writes result;
    for (const sim::LogEntry& entry : sim_.log()) {
        if (isWrite(entry)) {
            result.emplace_back(static_cast<int>(entry.field("register")),
                                static_cast<int>(entry.field("value")));
        }
    }
    return result;
}

Writes Installation::lastTransactions(size_t count) const
{
    const std::vector<sim::LogEntry> log = sim_.log();
    Writes tail;
    for (auto entry = log.rbegin(); entry != log.rend() && tail.size() < count; ++entry) {
        if (isTransaction(*entry)) {
            tail.insert(tail.begin(), {isRead(*entry) ? -1 : static_cast<int>(entry->field("register")),
                                       static_cast<int>(entry->field("value"))});
        }
    }
    return tail;
}

int Installation::reads() const
{
    int count = 0;
    for (const sim::LogEntry& entry : sim_.log()) {
        count += isReadingRead(entry) ? 1 : 0;
    }
    return count;
}

std::wstring windowText(HWND window)
{
    wchar_t text[1024] = {};
    // WM_GETTEXT crosses processes, unlike GetWindowText on another's control.
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring messageBoxText(HWND box)
{
    return windowText(GetDlgItem(box, kMessageTextId));
}

bool checked(HWND dialog, int id)
{
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool visible(HWND dialog, int id)
{
    return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool repaints(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
    // Only the loop's own message retrieval paints and so empties the update region.
    return waitUntil([&] { return GetUpdateRect(window, nullptr, FALSE) == FALSE; }, 5000);
}

void click(HWND dialog, int id)
{
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

bool press(HWND dialog, int id, DWORD timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

bool switchOn(HWND dialog)
{
    return press(dialog, IDC_ON) && press(dialog, IDC_APPLY);
}

void command(HWND window, int id)
{
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::string lampRow(HWND dialog, int count)
{
    std::string row;
    for (int lamp = 0; lamp < count; ++lamp) {
        row += checked(dialog, IDC_LED0 + lamp) ? '1' : '0';
    }
    return row;
}

bool trayIconShown(HWND trayWindow)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = trayWindow;
    data.uID = 1;
    return trayWindow != nullptr && Shell_NotifyIconA(NIM_MODIFY, &data);
}

Writes resetWrites(const Board& board)
{
    Writes writes = defaultTableWrites();
    if (board.model == kRadeon6900.model) {
        writes.insert(writes.end(), kRadeon6900Disable.begin(), kRadeon6900Disable.end());
    }
    return writes;
}

bool isGreen(COLORREF c)
{
    return GetGValue(c) > GetRValue(c) + 40;
}

bool isRed(COLORREF c)
{
    return GetRValue(c) > GetGValue(c) + 40;
}

COLORREF averageColour(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    HDC screen = GetDC(nullptr);
    unsigned long red = 0, green = 0, blue = 0, count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF pixel = GetPixel(screen, x, y);
            red += GetRValue(pixel);
            green += GetGValue(pixel);
            blue += GetBValue(pixel);
            ++count;
        }
    }
    ReleaseDC(nullptr, screen);
    if (count == 0) {
        return CLR_INVALID;
    }
    return RGB(red / count, green / count, blue / count);
}

void PrintTo(const WayOut& path, std::ostream* out)
{
    *out << path.name;
}

const WayOut kWaysOut[5] = {
    {"Close", [](Running& app) { click(app.window(), IDC_CLOSE); }},
    {"CrossButton", [](Running& app) { click(app.window(), IDC_QUIT); }},
    {"TrayExitWhileHidden",
     [](Running& app) {
         app.press(IDC_HIDE);
         command(app.window(), ID_SYSTRAY_EXIT);
     }},
    {"Enter", [](Running& app) { PostMessageW(app.window(), WM_KEYDOWN, VK_RETURN, 0); }},
    {"Escape", [](Running& app) { PostMessageW(app.window(), WM_KEYDOWN, VK_ESCAPE, 0); }},
};

} // namespace nt_test
