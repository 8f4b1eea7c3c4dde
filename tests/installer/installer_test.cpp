// The setup program and its uninstaller, run silently as an administrator
// would, in a Wine prefix of their own. Every test starts with nothing
// installed and leaves nothing behind.
#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include "common/UniqueHandle.h"
#include "program_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>

using namespace nt_test;

namespace {

const std::wstring kVendorFolder = L"C:\\Program Files\\Norvik";
const std::wstring kFolder = kVendorFolder + L"\\VGA\\Norvik_Tallo";
const std::wstring kProgram = L"Norvik_Tallo.exe";
const std::wstring kLauncher = L"BootStartNorvik_Tallo.exe";
const std::wstring kUninstaller = L"Uninstall.exe";
// Where setup must not install, whatever its command line says.
const std::wstring kElsewhere = L"C:\\Norvik_Tallo elsewhere";
// What the program writes when the user applies "Yes".
const std::wstring kAutostartPath = kFolder + L"\\" + kLauncher;
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Norvik_Tallo";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Norvik_Tallo";
constexpr DWORD kSetupTimeoutMs = 60000;

// The two views of the machine's registry: a 32-bit program on 64-bit
// Windows writes its autostart value into the 32-bit one.
constexpr REGSAM kNativeView = 0;
constexpr REGSAM k32BitView = KEY_WOW64_32KEY;
constexpr bool kPrefixHas32BitView = sizeof(void*) == 8;

std::wstring distDir()
{
    return std::filesystem::path(moduleDir()).parent_path().parent_path().wstring() + L"\\dist";
}

std::wstring setupPath()
{
    return distDir() + L"\\" + NT_SETUP_FILE;
}

std::wstring installed(const std::wstring& name)
{
    return kFolder + L"\\" + name;
}

std::wstring commonPrograms()
{
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::wstring shortcutPath()
{
    return commonPrograms() + L"\\Norvik_Tallo.lnk";
}

std::wstring standInPath()
{
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system) + L"\\atipdlxx.dll";
}

std::optional<std::wstring> readString(const wchar_t* key, const wchar_t* name, REGSAM view = kNativeView)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | view, &handle) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t data[2048] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    const LONG result = RegGetValueW(handle, nullptr, name, RRF_RT_REG_SZ, nullptr, data, &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return std::wstring(data);
}

std::optional<DWORD> readDword(const wchar_t* key, const wchar_t* name)
{
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD, nullptr, &data, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    return data;
}

void writeString(const wchar_t* key, const wchar_t* name, const std::wstring& data, REGSAM view = kNativeView)
{
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &handle,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

void deleteValue(const wchar_t* key, const wchar_t* name, REGSAM view)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE | view, &handle) == ERROR_SUCCESS) {
        RegDeleteValueW(handle, name);
        RegCloseKey(handle);
    }
}

// What a shortcut starts.
std::wstring shortcutTarget(const std::wstring& link)
{
    std::wstring target;
    CoInitialize(nullptr);
    IShellLinkW* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
                SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0))) {
                target = path;
            }
            file->Release();
        }
        shellLink->Release();
    }
    CoUninitialize();
    return target;
}

bool sameFile(const std::wstring& a, const std::wstring& b)
{
    return fileExists(a) && fileExists(b) && readFile(a) == readFile(b);
}

bool startsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// What is left under the vendor's folder, for a failure's message.
std::string leftInFolders()
{
    std::string left;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kVendorFolder, ignored)) {
        left += entry.path().string() + " ";
    }
    return left;
}

// Removes whatever setup or a test put in place.
void removeInstallation()
{
    std::error_code ignored;
    std::filesystem::remove_all(kVendorFolder, ignored);
    std::filesystem::remove_all(kElsewhere, ignored);
    DeleteFileW(shortcutPath().c_str());
    DeleteFileW(standInPath().c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
    deleteValue(kRunKey, kRunValue, kNativeView);
    if (kPrefixHas32BitView) {
        deleteValue(kRunKey, kRunValue, k32BitView);
    }
}

DWORD run(const std::wstring& commandLine)
{
    const ProcessResult result = runProcess(commandLine, L"", kSetupTimeoutMs);
    EXPECT_TRUE(result.finished) << "still running: " << std::string(commandLine.begin(), commandLine.end());
    return result.exitCode;
}

DWORD silentSetup()
{
    return run(L"\"" + setupPath() + L"\" /S");
}

// The names in the user's temporary folder.
std::set<std::wstring> tempEntries()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::set<std::wstring> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(temp, ignored)) {
        names.insert(entry.path().filename().wstring());
    }
    return names;
}

// True for the main window of a copy of Norvik_Tallo started from the installed file.
bool isInstalledProgramWindow(HWND window)
{
    if (!isMainWindow(window)) {
        return false;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    return process && QueryFullProcessImageNameW(process.get(), 0, image, &size) &&
           lstrcmpiW(image, installed(kProgram).c_str()) == 0;
}

// The main window of a copy of Norvik_Tallo started from the installed file.
HWND installedProgramWindow()
{
    return findTopLevelWindow(isInstalledProgramWindow);
}

// Another program's dialog that happens to carry the main window's control
// numbers. Its thread reads no messages while setup runs, so whatever was
// posted to it is still queued afterwards.
class ForeignDialog {
public:
    ForeignDialog()
        : window_(CreateWindowExW(0, L"#32770", L"Another program", WS_POPUP | WS_VISIBLE, 0, 0, 120, 60,
                                  nullptr, nullptr, nullptr, nullptr))
    {
        for (const int id : {IDC_ON, IDC_APPLY}) {
            CreateWindowExW(0, L"BUTTON", L"", WS_CHILD, 0, 0, 10, 10, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        }
    }
    ~ForeignDialog() { DestroyWindow(window_); }
    ForeignDialog(const ForeignDialog&) = delete;
    ForeignDialog& operator=(const ForeignDialog&) = delete;

    bool looksLikeTheProgram() const { return GetDlgItem(window_, IDC_ON) && GetDlgItem(window_, IDC_APPLY); }
    // The program's Exit commands posted to it so far.
    int exitCommands() const
    {
        int count = 0;
        MSG message;
        while (PeekMessageW(&message, window_, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
            count += LOWORD(message.wParam) == ID_SYSTRAY_EXIT ? 1 : 0;
        }
        return count;
    }

private:
    HWND window_;
};

class Setup : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fileExists(setupPath())) << "no setup; the build target dist makes it";
        removeInstallation();
    }
    void TearDown() override { removeInstallation(); }

    // As a deployment tool uninstalls: the command the Uninstall entry gives.
    DWORD silentUninstall()
    {
        tempBefore_ = tempEntries();
        const std::optional<std::wstring> command = readString(kUninstallKey, L"QuietUninstallString");
        EXPECT_TRUE(command.has_value());
        return command ? run(*command) : ~0U;
    }

    void expectNothingInstalled()
    {
        // The uninstaller's own file goes just after it has ended.
        EXPECT_TRUE(waitUntil([] { return !fileExists(kVendorFolder); }, 10000))
            << "left: " << leftInFolders();
        EXPECT_FALSE(fileExists(shortcutPath()));
        EXPECT_FALSE(readString(kUninstallKey, L"DisplayName"));
        // Nothing ran from, nor was left in, a folder the user can write.
        for (const std::wstring& name : tempEntries()) {
            EXPECT_EQ(tempBefore_.count(name), 1u) << "left in the temporary folder: " << name.c_str();
        }
    }

    // The card the installed program finds: the stand-in library lies in
    // the system folder, so the installed folder holds only what setup put
    // there. The fixture reports the board's adapter and keeps the log.
    std::unique_ptr<Installation> simulatedCard()
    {
        auto card = std::make_unique<Installation>(kRadeon6900, nullptr);
        copyFileOrThrow(simDir() + L"\\atipdlxx\\atipdlxx.dll", standInPath());
        return card;
    }

private:
    std::set<std::wstring> tempBefore_;
};

TEST_F(Setup, SilentInstallPutsProgramsShortcutAndUninstallEntryInPlace)
{
    ASSERT_EQ(silentSetup(), 0u);

    for (const std::wstring& name : {kProgram, kLauncher}) {
        EXPECT_TRUE(sameFile(installed(name), productDir() + L"\\" + name))
            << "not the built file: " << name.c_str();
    }
    EXPECT_TRUE(fileExists(installed(kUninstaller)));
    EXPECT_EQ(lstrcmpiW(shortcutTarget(shortcutPath()).c_str(), installed(kProgram).c_str()), 0)
        << "shortcut starts " << shortcutTarget(shortcutPath()).c_str();

    EXPECT_EQ(readString(kUninstallKey, L"DisplayName"), L"Norvik_Tallo");
    EXPECT_EQ(readString(kUninstallKey, L"DisplayVersion"), NT_VERSION);
    EXPECT_EQ(readString(kUninstallKey, L"Publisher"), L"Norvik");
    EXPECT_TRUE(startsWith(readString(kUninstallKey, L"DisplayIcon").value_or(L""), installed(kProgram)));
    EXPECT_EQ(readString(kUninstallKey, L"InstallLocation"), kFolder);
    const std::wstring uninstaller = L"\"" + installed(kUninstaller) + L"\"";
    EXPECT_TRUE(startsWith(readString(kUninstallKey, L"UninstallString").value_or(L""), uninstaller));
    EXPECT_TRUE(
        startsWith(readString(kUninstallKey, L"QuietUninstallString").value_or(L""), uninstaller + L" /S"));
    const auto programsKb =
        (std::filesystem::file_size(installed(kProgram)) + std::filesystem::file_size(installed(kLauncher))) /
        1024;
    EXPECT_GE(readDword(kUninstallKey, L"EstimatedSize").value_or(0), programsKb);
    EXPECT_EQ(readDword(kUninstallKey, L"NoModify"), 1u);
    EXPECT_EQ(readDword(kUninstallKey, L"NoRepair"), 1u);

    // Autostart stays the user's choice, made in the program.
    EXPECT_FALSE(readString(kRunKey, kRunValue));

    // A second run finds it all in place and leaves it so; no folder can be chosen.
    ASSERT_EQ(run(L"\"" + setupPath() + L"\" /S /D=" + kElsewhere), 0u);
    EXPECT_FALSE(fileExists(kElsewhere));
    EXPECT_TRUE(sameFile(installed(kProgram), productDir() + L"\\" + kProgram));
    EXPECT_EQ(readString(kUninstallKey, L"DisplayVersion"), NT_VERSION);
    EXPECT_FALSE(readString(kRunKey, kRunValue));
    ASSERT_EQ(silentUninstall(), 0u);
    expectNothingInstalled();
}

TEST_F(Setup, InstalledLauncherStartsInstalledProgram)
{
    ASSERT_EQ(silentSetup(), 0u);
    const auto card = simulatedCard();

    EXPECT_EQ(run(L"\"" + installed(kLauncher) + L"\""), 0u);

    HWND window = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (window = installedProgramWindow()) != nullptr; }, 20000));
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    command(window, ID_SYSTRAY_EXIT);
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    CloseHandle(process);
}

TEST_F(Setup, UninstallEndsTheRunningProgramCleanlyAndRemovesEverything)
{
    ASSERT_EQ(silentSetup(), 0u);
    const auto card = simulatedCard();
    const ProgramUnderTest program(installed(kProgram), kFolder);
    const HWND window = program.waitForShownMainWindow();
    ASSERT_TRUE(IsWindowVisible(window));
    const ForeignDialog foreign;
    ASSERT_TRUE(checked(window, IDC_RADIO_YES));
    ASSERT_TRUE(press(window, IDC_APPLY));
    ASSERT_EQ(readString(kRunKey, kRunValue), kAutostartPath);
    if (kPrefixHas32BitView) {
        // Where the 32-bit program, which ships, writes it on 64-bit Windows.
        writeString(kRunKey, kRunValue, kAutostartPath, k32BitView);
    }

    ASSERT_EQ(silentUninstall(), 0u);

    ASSERT_TRUE(program.waitForExit(0)) << "uninstall ended before the program";
    EXPECT_EQ(program.exitCode(), 0u);
    EXPECT_EQ(foreign.exitCommands(), 0);
    const Writes reset = resetWrites(kRadeon6900);
    EXPECT_EQ(card->lastTransactions(reset.size()), reset) << "the program did not shut down the card";
    EXPECT_FALSE(readString(kRunKey, kRunValue));
    EXPECT_FALSE(readString(kRunKey, kRunValue, k32BitView));
    expectNothingInstalled();
}

TEST_F(Setup, UninstallLeavesAutostartValuesThatAreNotOurs)
{
    // A folder whose name merely begins with ours is another folder.
    const std::wstring elsewhere = kFolder + L"2\\" + kLauncher;
    ASSERT_EQ(silentSetup(), 0u);
    writeString(kRunKey, kRunValue, elsewhere);

    ASSERT_EQ(silentUninstall(), 0u);

    EXPECT_EQ(readString(kRunKey, kRunValue), elsewhere);
    expectNothingInstalled();
}

TEST_F(Setup, UpgradeReplacesTheProgramsAndKeepsTheAutostartChoice)
{
    ASSERT_EQ(silentSetup(), 0u);
    // An older installation: other programs, another version in the entry.
    for (const std::wstring& name : {kProgram, kLauncher}) {
        HANDLE file =
            CreateFileW(installed(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, "older", 5, &written, nullptr);
        CloseHandle(file);
    }
    writeString(kUninstallKey, L"DisplayVersion", L"1.0.2.8");
    // Quoted, as some tools write it: still the user's "Yes".
    const std::wstring quoted = L"\"" + kAutostartPath + L"\"";
    writeString(kRunKey, kRunValue, quoted);

    ASSERT_EQ(silentSetup(), 0u);

    for (const std::wstring& name : {kProgram, kLauncher}) {
        EXPECT_TRUE(sameFile(installed(name), productDir() + L"\\" + name))
            << "not replaced: " << name.c_str();
    }
    EXPECT_EQ(readString(kUninstallKey, L"DisplayVersion"), NT_VERSION);
    EXPECT_EQ(readString(kRunKey, kRunValue), quoted);

    // "No" stays "No" too.
    deleteValue(kRunKey, kRunValue, kNativeView);
    ASSERT_EQ(silentSetup(), 0u);
    EXPECT_FALSE(readString(kRunKey, kRunValue));

    // The quoted form of our path is ours all the same.
    writeString(kRunKey, kRunValue, quoted);
    ASSERT_EQ(silentUninstall(), 0u);
    EXPECT_FALSE(readString(kRunKey, kRunValue));
}

// Only the installed program is asked to exit and waited for, not another
// dialog with the same control numbers, whichever setup meets first.
TEST_F(Setup, SetupOverARunningProgramEndsItAloneCleanlyFirst)
{
    ASSERT_EQ(silentSetup(), 0u);
    const auto card = simulatedCard();
    const ProgramUnderTest program(installed(kProgram), kFolder);
    ASSERT_NE(program.waitForShownMainWindow(), nullptr);
    const ForeignDialog foreign;
    ASSERT_TRUE(foreign.looksLikeTheProgram());

    ASSERT_EQ(silentSetup(), 0u);

    ASSERT_TRUE(program.waitForExit(0)) << "setup ended before the program";
    EXPECT_EQ(program.exitCode(), 0u);
    EXPECT_EQ(foreign.exitCommands(), 0) << "setup asked another program to exit";
    const Writes reset = resetWrites(kRadeon6900);
    EXPECT_EQ(card->lastTransactions(reset.size()), reset) << "the program did not shut down the card";
    EXPECT_TRUE(sameFile(installed(kProgram), productDir() + L"\\" + kProgram));
}

TEST_F(Setup, SetupThatCannotReplaceAProgramFails)
{
    ASSERT_EQ(silentSetup(), 0u);
    // As another user's copy of the program would hold it.
    HANDLE held =
        CreateFileW(installed(kProgram).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    EXPECT_NE(silentSetup(), 0u);

    CloseHandle(held);
}

TEST_F(Setup, AProgramThatDoesNotEndStopsTheUninstallWithNothingChanged)
{
    ASSERT_EQ(silentSetup(), 0u);
    // Holds the program's mutex but has no window to ask: it never ends.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Norvik_Tallo");
    ASSERT_NE(mutex, nullptr);

    EXPECT_NE(silentUninstall(), 0u);

    CloseHandle(mutex);
    EXPECT_TRUE(fileExists(installed(kProgram)));
    EXPECT_TRUE(fileExists(installed(kLauncher)));
    EXPECT_TRUE(fileExists(installed(kUninstaller)));
    EXPECT_TRUE(fileExists(shortcutPath()));
    EXPECT_EQ(readString(kUninstallKey, L"DisplayName"), L"Norvik_Tallo");
}

} // namespace
