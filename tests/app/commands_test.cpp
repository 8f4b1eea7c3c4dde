// The user's flows on a running Norvik_Tallo.exe: Apply, Reset, hiding and
// restoring, every way of ending it, and the autostart setting up to the
// log-on start through the launcher.
#include <gtest/gtest.h>

#include "program_driver.h"

#include <string>

using namespace nt_test;

namespace {

constexpr UINT kTrayNotify = WM_USER + 1;

TEST(Apply, OnSendsTheEnableSetOnceAndTheLampsFollowTheReadings)
{
    Running app(kRadeon6900, 40);
    app.press(IDC_ON);
    EXPECT_TRUE(checked(app.window(), IDC_ON));
    EXPECT_FALSE(checked(app.window(), IDC_OFF));
    EXPECT_TRUE(app.writesSinceMark().empty()) << "selecting alone sends nothing";

    app.press(IDC_APPLY);
    EXPECT_EQ(kRadeon6900Enable, app.settledWrites());
    // 40 shows four lamps on this board, 70 ten.
    EXPECT_TRUE(app.lampsBecome("11110000000000"));
    app.setReading(70);
    EXPECT_TRUE(app.lampsBecome("11111111110000"));

    app.mark();
    app.press(IDC_APPLY);
    Sleep(500);
    EXPECT_TRUE(app.writesSinceMark().empty()) << "On applied again reaches the card no more";
}

// Readings as the controller gives them after On is applied, and the lamps
// each one shows.
struct Following {
    Board board;
    std::vector<std::pair<int, std::string>> readingsAndLamps;
};

void PrintTo(const Following& following, std::ostream* out)
{
    *out << following.board.name;
}

const Following kFollowings[] = {
    // Lamp 0, lit with all the others before On, is never darkened; it is lit
    // again between the reading windows.
    {kRadeon6800, {{5, "10000000"}, {13, "11000000"}, {200, "11111111"}, {15, "10000000"}, {42, "11111110"}}},
    {kRadeon6900,
     {{40, "11110000000000"}, {70, "11111111110000"}, {10, "11000000000000"}, {90, "11111111111111"}}},
    // The top lamp goes dark for a pause before it is lit again.
    {kGeForce560Ti, {{60, "11110000"}, {20, "10000000"}, {136, "11111111"}, {100, "11111100"}}},
    {kGeForce580, {{40, "111111000000"}, {19, "110000000000"}, {33, "111110000000"}, {96, "111111111111"}}},
};

class FollowsTheReadings : public ::testing::TestWithParam<Following> {};

TEST_P(FollowsTheReadings, WithTheLampsOfItsBoard)
{
    const Following& following = GetParam();
    Running app(following.board, following.readingsAndLamps.front().first);
    app.switchOn();
    for (const auto& [reading, lamps] : following.readingsAndLamps) {
        app.setReading(reading);
        EXPECT_TRUE(app.lampsBecome(lamps)) << "reading " << reading << " shows " << app.lamps();
    }
    // Green on the left and red on the right where the board has both.
    for (int lamp = 0; lamp < app.board().lamps; ++lamp) {
        SCOPED_TRACE("lamp " + std::to_string(lamp));
        const bool lit = app.lamps()[static_cast<std::size_t>(lamp)] == '1';
        const bool green = lit && lamp < app.board().greenLamps;
        const bool red = lit && !green;
        COLORREF face = 0;
        EXPECT_TRUE(waitUntil(
            [&] {
                face = averageColour(app.window(), IDC_LED0 + lamp);
                return isGreen(face) == green && isRed(face) == red;
            },
            3000))
            << std::hex << face;
    }
}

INSTANTIATE_TEST_SUITE_P(Apply, FollowsTheReadings, ::testing::ValuesIn(kFollowings),
                         [](const auto& info) { return "Model" + std::to_string(info.param.board.model); });

TEST(Apply, OffSendsTheDisableSetAndLightsEveryLampForGood)
{
    Running app(kRadeon6900, 40);
    app.switchOn();
    ASSERT_TRUE(app.lampsBecome("11110000000000"));

    app.mark();
    app.press(IDC_OFF);
    app.press(IDC_APPLY);
    EXPECT_EQ(kRadeon6900Disable, app.settledWrites());
    EXPECT_EQ(app.allLit(), app.lamps());
    const int reads = app.installed().reads();
    Sleep(1000);
    EXPECT_EQ(reads, app.installed().reads()) << "polling is off";
    EXPECT_EQ(app.allLit(), app.lamps());

    app.mark();
    app.press(IDC_APPLY);
    Sleep(500);
    EXPECT_TRUE(app.writesSinceMark().empty()) << "Off applied again reaches the card no more";
}

TEST(Reset, ResetsOnceSelectsOffLightsAllAndWorksAgainAfterApply)
{
    Running app(kRadeon6900, 40);
    app.switchOn();
    ASSERT_TRUE(app.lampsBecome("11110000000000"));

    app.mark();
    app.press(IDC_RESET);
    EXPECT_EQ(resetWrites(app.board()), app.settledWrites());
    EXPECT_TRUE(checked(app.window(), IDC_OFF));
    EXPECT_FALSE(checked(app.window(), IDC_ON));
    EXPECT_EQ(app.allLit(), app.lamps());

    app.mark();
    app.press(IDC_RESET);
    Sleep(500);
    EXPECT_TRUE(app.writesSinceMark().empty()) << "a second Reset does nothing";

    // Apply with Off after a reset sends nothing, but makes Reset available again.
    app.press(IDC_APPLY);
    app.press(IDC_RESET);
    EXPECT_EQ(resetWrites(app.board()), app.settledWrites());

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
    app.press(IDC_OFF);
    app.press(IDC_APPLY);
    EXPECT_EQ(kGeForceDisable, app.settledWrites());

    app.mark();
    app.switchOn();
    EXPECT_EQ(kGeForce580Enable, app.settledWrites());

    app.mark();
    app.press(IDC_RESET);
    app.switchOn();
    EXPECT_EQ(joined({resetWrites(app.board()), kGeForce580FirstEnable}), app.settledWrites());
}

TEST(Hide, KeepsPollingAndBothWaysOfRestoringShowTheLampsUpToDate)
{
    Running app(kRadeon6900, 40);
    app.switchOn();
    ASSERT_TRUE(app.lampsBecome("11110000000000"));

    app.press(IDC_HIDE);
    EXPECT_FALSE(IsWindowVisible(app.window()));
    EXPECT_TRUE(trayIconShown(app.program().trayWindow()));
    app.setReading(70);
    EXPECT_TRUE(app.lampsBecome("11111111110000")) << "the hidden window's lamps follow";

    command(app.window(), ID_SYSTRAY_RESTORE);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(app.window()) != FALSE; }));

    app.press(IDC_HIDE);
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

class EndsTheProgram : public ::testing::TestWithParam<WayOut> {};

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
        const Writes expected = resetWrites(board);
        EXPECT_EQ(expected, app.installed().lastTransactions(expected.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, EndsTheProgram, ::testing::ValuesIn(kWaysOut),
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
    app.press(IDC_APPLY);
    EXPECT_EQ(kLauncherPath + L'\0', runValue());

    app.press(IDC_RADIO_NO);
    EXPECT_TRUE(checked(app.window(), IDC_RADIO_NO));
    EXPECT_FALSE(checked(app.window(), IDC_RADIO_YES));
    app.press(IDC_APPLY);
    EXPECT_FALSE(runValue());

    // "No" with no value, and "Yes" with another path, leave it as it is.
    app.press(IDC_APPLY);
    EXPECT_FALSE(runValue());
    ScopedRegistryValue other(HKEY_LOCAL_MACHINE, kRunKey, L"Norvik_Tallo", REG_SZ,
                              std::vector<BYTE>{'D', 0, ':', 0, 0, 0});
    app.press(IDC_RADIO_YES);
    app.press(IDC_APPLY);
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

TEST(Autostart, TheCommandInTheRunValueStartsTheLauncherWhichStartsTheProgram)
{
    ScopedRegistryValue before(HKEY_LOCAL_MACHINE, kRunKey, L"Norvik_Tallo", REG_SZ, std::nullopt);
    ProgramFilesInstallation installed(kRadeon6800);
    {
        Running app(kRadeon6800);
        app.press(IDC_APPLY); // "Yes" is selected at every start
        click(app.window(), IDC_CLOSE);
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
    ASSERT_TRUE(
        waitUntil([&] { return (window = findTopLevelWindow(isShownMainWindow)) != nullptr; }, 20000));
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    click(window, IDC_CLOSE);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 10000));
    CloseHandle(process);
}

} // namespace
