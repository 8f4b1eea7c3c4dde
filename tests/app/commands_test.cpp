// The user's flows on a running Norvik_Tallo.exe: Apply, Reset, hiding and
// restoring, every way of ending it, and the autostart setting up to the
// log-on start through the launcher.
#include <gtest/gtest.h>

#include "program_driver.h"

#include <shellapi.h>

#include <string>

using namespace nt_test;

namespace {

constexpr int kHide = 1000;
constexpr int kQuit = 1001;
constexpr int kReset = 1004;
constexpr int kApply = 1005;
constexpr int kClose = 1006;
constexpr int kYes = 1007;
constexpr int kNo = 1008;
constexpr int kOn = 1043;
constexpr int kOff = 1044;
constexpr int kFirstLamp = 1024;
constexpr int kRestoreCommand = 32771;
constexpr int kExitCommand = 32772;
constexpr UINT kTrayNotify = WM_USER + 1;

using Writes = std::vector<std::pair<int, int>>;

const Writes kRadeon6900Enable = {{23, 0x00}, {7, 0x20},  {6, 0x2A},  {5, 0x3B},  {4, 0x44},
                                  {3, 0x4A},  {2, 0x51},  {1, 0x51},  {19, 0x77}, {20, 0x65},
                                  {21, 0x43}, {22, 0x21}, {17, 0x00}, {18, 0x00}, {23, 0x80}};
const Writes kRadeon6900Disable = {{23, 0x00}, {7, 0x00},  {6, 0x00},  {5, 0x00},  {4, 0x00},
                                   {3, 0x00},  {2, 0x00},  {1, 0x00},  {19, 0x77}, {20, 0x77},
                                   {21, 0x77}, {22, 0x77}, {17, 0x00}, {18, 0x00}, {23, 0x80}};
const Writes kGeForce580FirstEnable = {{23, 0x00}, {1, 0x41},  {2, 0x36},  {3, 0x2C},  {4, 0x22},
                                       {5, 0x19},  {6, 0x10},  {7, 0x0A},  {17, 0x00}, {18, 0x00},
                                       {19, 0xCA}, {20, 0x87}, {21, 0x65}, {22, 0x42}, {23, 0x80}};
const Writes kGeForce580Enable = {{23, 0x00}, {19, 0xCA}, {20, 0x87}, {21, 0x65}, {22, 0x42}, {23, 0x80}};
const Writes kGeForce580Disable = {{23, 0x00}, {19, 0x00}, {20, 0x00}, {21, 0x00}, {22, 0x00}, {23, 0x80}};

Writes concat(Writes first, const Writes& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// What the card's reset leaves as its register traffic.
Writes resetOf(const Board& board)
{
    return board.model == kRadeon6900.model ? concat(resetWrites(), kRadeon6900Disable) : resetWrites();
}

sim::SimSettings reading(int value)
{
    sim::SimSettings settings;
    settings.register25.values = {value};
    return settings;
}

bool trayIconShown(HWND trayWindow)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = trayWindow;
    data.uID = 1;
    return trayWindow != nullptr && Shell_NotifyIconA(NIM_MODIFY, &data);
}

// A started program with its window shown, and the log read from a mark on.
class Running {
public:
    explicit Running(const Board& board, int firstReading = 0) : board_(board), installed_(board)
    {
        installed_.sim().apply(reading(firstReading));
        program_ = installed_.start();
        window_ = program_->waitForMainWindow();
        waitUntil([&] { return window_ != nullptr && IsWindowVisible(window_); });
        mark();
    }

    HWND window() const { return window_; }
    ProgramUnderTest& program() { return *program_; }
    Installation& installed() { return installed_; }
    const Board& board() const { return board_; }

    void setReading(int value) { installed_.sim().apply(reading(value)); }
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
    void press(int id)
    {
        SendMessageTimeoutW(GetDlgItem(window_, id), BM_CLICK, 0, 0, SMTO_NORMAL, 10000, nullptr);
    }
    void switchOn()
    {
        press(kOn);
        press(kApply);
    }

    // The lamps lit now, as a row of 0 and 1.
    std::string lamps() const
    {
        std::string row;
        for (int lamp = 0; lamp < board_.lamps; ++lamp) {
            row += checked(window_, kFirstLamp + lamp) ? '1' : '0';
        }
        return row;
    }
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

TEST(Apply, OnSendsTheEnableSetOnceAndTheLampsFollowTheReadings)
{
    Running app(kRadeon6900, 40);
    app.press(kOn);
    EXPECT_TRUE(checked(app.window(), kOn));
    EXPECT_FALSE(checked(app.window(), kOff));
    EXPECT_TRUE(app.writesSinceMark().empty()) << "selecting alone sends nothing";

    app.press(kApply);
    EXPECT_EQ(kRadeon6900Enable, app.settledWrites());
    // 40 shows four lamps on this board, 70 ten.
    EXPECT_TRUE(app.lampsBecome("11110000000000"));
    app.setReading(70);
    EXPECT_TRUE(app.lampsBecome("11111111110000"));

    app.mark();
    app.press(kApply);
    Sleep(500);
    EXPECT_TRUE(app.writesSinceMark().empty()) << "On applied again reaches the card no more";
}

TEST(Apply, OffSendsTheDisableSetAndLightsEveryLampForGood)
{
    Running app(kRadeon6900, 40);
    app.switchOn();
    ASSERT_TRUE(app.lampsBecome("11110000000000"));

    app.mark();
    app.press(kOff);
    app.press(kApply);
    EXPECT_EQ(kRadeon6900Disable, app.settledWrites());
    EXPECT_EQ(app.allLit(), app.lamps());
    const int reads = app.installed().reads();
    Sleep(1000);
    EXPECT_EQ(reads, app.installed().reads()) << "polling is off";
    EXPECT_EQ(app.allLit(), app.lamps());

    app.mark();
    app.press(kApply);
    Sleep(500);
    EXPECT_TRUE(app.writesSinceMark().empty()) << "Off applied again reaches the card no more";
}

TEST(Reset, ResetsOnceSelectsOffLightsAllAndWorksAgainAfterApply)
{
    Running app(kRadeon6900, 40);
    app.switchOn();
    ASSERT_TRUE(app.lampsBecome("11110000000000"));

    app.mark();
    app.press(kReset);
    EXPECT_EQ(resetOf(app.board()), app.settledWrites());
    EXPECT_TRUE(checked(app.window(), kOff));
    EXPECT_FALSE(checked(app.window(), kOn));
    EXPECT_EQ(app.allLit(), app.lamps());

    app.mark();
    app.press(kReset);
    Sleep(500);
    EXPECT_TRUE(app.writesSinceMark().empty()) << "a second Reset does nothing";

    // Apply with Off after a reset sends nothing, but makes Reset available again.
    app.press(kApply);
    app.press(kReset);
    EXPECT_EQ(resetOf(app.board()), app.settledWrites());

    // And On applied after a reset switches the card on again.
    app.mark();
    app.switchOn();
    EXPECT_EQ(kRadeon6900Enable, app.settledWrites());
}

TEST(GeForce580, WritesTheFullSetOnTheFirstEnableAfterStartOrReset)
{
    Running app(kGeForce580, 40);
    app.switchOn();
    EXPECT_EQ(kGeForce580FirstEnable, app.settledWrites());

    app.mark();
    app.press(kOff);
    app.press(kApply);
    EXPECT_EQ(kGeForce580Disable, app.settledWrites());

    app.mark();
    app.switchOn();
    EXPECT_EQ(kGeForce580Enable, app.settledWrites());

    app.mark();
    app.press(kReset);
    app.switchOn();
    EXPECT_EQ(concat(resetWrites(), kGeForce580FirstEnable), app.settledWrites());
}

TEST(Hide, KeepsPollingAndBothWaysOfRestoringShowTheLampsUpToDate)
{
    Running app(kRadeon6900, 40);
    app.switchOn();
    ASSERT_TRUE(app.lampsBecome("11110000000000"));

    app.press(kHide);
    EXPECT_FALSE(IsWindowVisible(app.window()));
    EXPECT_TRUE(trayIconShown(app.program().trayWindow()));
    app.setReading(70);
    EXPECT_TRUE(app.lampsBecome("11111111110000")) << "the hidden window's lamps follow";

    command(app.window(), kRestoreCommand);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(app.window()) != FALSE; }));

    app.press(kHide);
    ASSERT_FALSE(IsWindowVisible(app.window()));
    // A single click on the icon changes nothing; a double click restores.
    PostMessageW(app.program().trayWindow(), kTrayNotify, 1, WM_LBUTTONDOWN);
    PostMessageW(app.program().trayWindow(), kTrayNotify, 1, WM_LBUTTONUP);
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(app.window()));
    PostMessageW(app.program().trayWindow(), kTrayNotify, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(app.window()) != FALSE; }));
    EXPECT_EQ("11111111110000", app.lamps());
}

struct ExitPath {
    const char* name;
    void (*take)(Running& app);
};

void PrintTo(const ExitPath& path, std::ostream* out)
{
    *out << path.name;
}

const ExitPath kExitPaths[] = {
    {"Close", [](Running& app) { click(app.window(), kClose); }},
    {"CrossButton", [](Running& app) { click(app.window(), kQuit); }},
    {"TrayExitWhileHidden",
     [](Running& app) {
         app.press(kHide);
         command(app.window(), kExitCommand);
     }},
    {"Enter", [](Running& app) { PostMessageW(app.window(), WM_KEYDOWN, VK_RETURN, 0); }},
    {"Escape", [](Running& app) { PostMessageW(app.window(), WM_KEYDOWN, VK_ESCAPE, 0); }},
};

class EndsTheProgram : public ::testing::TestWithParam<ExitPath> {};

TEST_P(EndsTheProgram, PromptlyWithTheResetAsTheLastTrafficAndNoIconLeft)
{
    for (const Board& board : {kRadeon6900, kGeForce560Ti}) {
        SCOPED_TRACE(board.name);
        Running app(board);
        // Fast-changing readings keep every pass notifying the lamps.
        sim::SimSettings settings;
        settings.register25.kind = sim::Register25::Kind::Wave;
        settings.register25.low = 0;
        settings.register25.high = 150;
        settings.register25.periodMs = 400;
        app.installed().sim().apply(settings);
        app.switchOn();
        Sleep(700);
        const HWND tray = app.program().trayWindow();
        ASSERT_TRUE(trayIconShown(tray));

        GetParam().take(app);
        ASSERT_TRUE(app.program().waitForExit(5000));
        EXPECT_EQ(0u, app.program().exitCode());
        EXPECT_FALSE(trayIconShown(tray));

        // Nothing at all reaches the controller after its reset.
        const auto log = app.installed().sim().log();
        const Writes expected = resetOf(board);
        Writes tail;
        for (auto entry = log.rbegin(); entry != log.rend() && tail.size() < expected.size(); ++entry) {
            if (entry->function == "WriteAndReadI2C" || entry->function == "I2CWrite" ||
                entry->function == "I2CRead") {
                const bool read = entry->function == "I2CRead" || entry->field("action") == 1;
                tail.insert(tail.begin(), {read ? -1 : static_cast<int>(entry->field("register")),
                                           static_cast<int>(entry->field("value"))});
            }
        }
        EXPECT_EQ(expected, tail);
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, EndsTheProgram, ::testing::ValuesIn(kExitPaths),
                         [](const auto& info) { return std::string(info.param.name); });

const std::wstring kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kLauncherPath = L"C:\\Program Files\\Norvik\\VGA\\Norvik_Tallo\\BootStartNorvik_Tallo.exe";

std::optional<std::wstring> runValue()
{
    const auto data = readRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, L"Norvik_Tallo");
    if (!data) {
        return std::nullopt;
    }
    return std::wstring(reinterpret_cast<const wchar_t*>(data->data()), data->size() / sizeof(wchar_t));
}

TEST(Autostart, ApplyWithYesWritesTheLauncherPathAndWithNoRemovesIt)
{
    ScopedRegistryValue before(HKEY_LOCAL_MACHINE, kRunKey, L"Norvik_Tallo", REG_SZ, std::nullopt);
    Running app(kRadeon6800);
    app.press(kApply);
    EXPECT_EQ(kLauncherPath + L'\0', runValue());

    app.press(kNo);
    EXPECT_TRUE(checked(app.window(), kNo));
    EXPECT_FALSE(checked(app.window(), kYes));
    app.press(kApply);
    EXPECT_FALSE(runValue());

    // "No" with no value, and "Yes" with another path, leave it as it is.
    app.press(kApply);
    EXPECT_FALSE(runValue());
    ScopedRegistryValue other(HKEY_LOCAL_MACHINE, kRunKey, L"Norvik_Tallo", REG_SZ,
                              std::vector<BYTE>{'D', 0, ':', 0, 0, 0});
    app.press(kYes);
    app.press(kApply);
    EXPECT_EQ(std::wstring(L"D:") + L'\0', runValue());
}

// The installed layout that the autostart value points at.
class ProgramFilesInstallation {
public:
    explicit ProgramFilesInstallation(const Board& board)
    {
        std::wstring folder;
        for (const wchar_t* part : {L"C:\\Program Files\\Norvik", L"\\VGA", L"\\Norvik_Tallo"}) {
            folder += part;
            if (CreateDirectoryW(folder.c_str(), nullptr)) {
                created_.push_back(folder);
            }
        }
        folder_ = folder;
        for (const wchar_t* program : {L"Norvik_Tallo.exe", L"BootStartNorvik_Tallo.exe"}) {
            copyFileOrThrow(productDir() + L"\\" + program, file(program));
        }
        copyFileOrThrow(simDir() + L"\\" + board.library + L"\\atipdlxx.dll", file(L"atipdlxx.dll"));
    }
    ~ProgramFilesInstallation()
    {
        for (const wchar_t* name : {L"Norvik_Tallo.exe", L"BootStartNorvik_Tallo.exe", L"atipdlxx.dll"}) {
            DeleteFileW(file(name).c_str());
        }
        for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
            RemoveDirectoryW(it->c_str());
        }
    }
    std::wstring file(const std::wstring& name) const { return folder_ + L"\\" + name; }

private:
    std::wstring folder_;
    std::vector<std::wstring> created_;
};

BOOL CALLBACK findAnyMainWindow(HWND window, LPARAM found)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770" && GetDlgItem(window, kOn) != nullptr && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

TEST(Autostart, TheCommandInTheRunValueStartsTheLauncherWhichStartsTheProgram)
{
    ScopedRegistryValue before(HKEY_LOCAL_MACHINE, kRunKey, L"Norvik_Tallo", REG_SZ, std::nullopt);
    ProgramFilesInstallation installed(kRadeon6800);
    {
        Running app(kRadeon6800);
        app.press(kApply); // "Yes" is selected at every start
        click(app.window(), kClose);
        ASSERT_TRUE(app.program().waitForExit(5000));
    }
    const auto command = runValue();
    ASSERT_TRUE(command);
    // As the system does at log-on: the value's text is the command.
    TempDir simFolder;
    sim::SimControl sim(simFolder.path());
    ScopedDisplayAdapter adapter(kRadeon6800.pciVendor, kRadeon6800.pciDevice);
    const auto launcher = runProcess(command->c_str(), L"", 10000);
    ASSERT_TRUE(launcher.finished);
    EXPECT_EQ(0u, launcher.exitCode);

    HWND window = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] { return EnumWindows(findAnyMainWindow, reinterpret_cast<LPARAM>(&window)), window != nullptr; },
        20000));
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    click(window, kClose);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
    CloseHandle(process);
}

} // namespace
