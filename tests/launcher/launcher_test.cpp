#include <gtest/gtest.h>

#include "launcher/launch_path.h"
#include "nt_test.h"

#include <cwchar>
#include <algorithm>
#include <string>
#include <vector>

using nt_test::TempDir;

namespace {

constexpr DWORD kStartTimeoutMs = 15000;

std::wstring launcherPath()
{
    return nt_test::productDir() + L"\\BootStartNorvik_Tallo.exe";
}

std::wstring markProgramPath()
{
    return nt_test::moduleDir() + L"\\mark_program.exe";
}

std::wstring quoted(const std::wstring& path)
{
    return L"\"" + path + L"\"";
}

std::wstring readMark(const std::wstring& path)
{
    const std::string bytes = nt_test::readFile(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

// The launcher hands the start to the shell and ends; the mark appears later.
TEST(Launcher, StartsTheMainProgramFromItsOwnFolderWhateverTheCurrentFolder)
{
    TempDir installed;
    TempDir elsewhere;
    nt_test::copyFileOrThrow(launcherPath(), installed.file(L"BootStartNorvik_Tallo.exe"));
    nt_test::copyFileOrThrow(markProgramPath(), installed.file(L"Norvik_Tallo.exe"));

    const auto result = nt_test::runProcess(quoted(installed.file(L"BootStartNorvik_Tallo.exe")),
                                            elsewhere.path(), kStartTimeoutMs);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(0u, result.exitCode);
    ASSERT_TRUE(nt_test::waitForFile(installed.file(L"started.txt"), kStartTimeoutMs));
    // No working folder is given to the shell: the program inherits the launcher's.
    EXPECT_EQ(0, _wcsicmp(elsewhere.path().c_str(), readMark(installed.file(L"started.txt")).c_str()));
}

TEST(Launcher, WithoutTheMainProgramEndsWithStatusZeroAndStartsNothing)
{
    TempDir installed;
    nt_test::copyFileOrThrow(launcherPath(), installed.file(L"BootStartNorvik_Tallo.exe"));
    // A program of that name in the current folder must not be the one started.
    TempDir current;
    nt_test::copyFileOrThrow(markProgramPath(), current.file(L"Norvik_Tallo.exe"));

    const auto result = nt_test::runProcess(quoted(installed.file(L"BootStartNorvik_Tallo.exe")),
                                            current.path(), kStartTimeoutMs);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(0u, result.exitCode);
    Sleep(1500);
    EXPECT_FALSE(nt_test::fileExists(current.file(L"started.txt")));
}

// A folder so deep that "Norvik_Tallo.exe" no longer fits the launcher's
// 260-character buffer, though the launcher's own (shorter) name does.
class DeepFolder {
public:
    explicit DeepFolder(const std::wstring& base)
    {
        std::wstring path = base;
        while (path.size() < kDepth) {
            path += L"\\" + std::wstring(std::min<std::size_t>(40, kDepth - path.size() - 1), L'd');
            CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr);
            folders_.push_back(path);
        }
    }
    ~DeepFolder()
    {
        for (const auto& name : {L"b.exe", L"Norvik_Tallo.exe", L"started.txt"}) {
            DeleteFileW(longName(file(name)).c_str());
        }
        for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
            RemoveDirectoryW(longName(*it).c_str());
        }
    }
    std::wstring file(const std::wstring& name) const { return folders_.back() + L"\\" + name; }
    static std::wstring longName(const std::wstring& path) { return L"\\\\?\\" + path; }

    // Folder plus backslash plus "b.exe" fits; plus "Norvik_Tallo.exe" does not.
    static constexpr std::size_t kDepth = 250;

private:
    std::vector<std::wstring> folders_;
};

TEST(Launcher, AFolderTooDeepForTheMainProgramsPathStartsNothing)
{
    TempDir base;
    DeepFolder deep(base.path());
    ASSERT_LT(deep.file(L"b.exe").size(), kLaunchPathCapacity);
    ASSERT_GE(deep.file(L"Norvik_Tallo.exe").size(), kLaunchPathCapacity);
    nt_test::copyFileOrThrow(launcherPath(), deep.file(L"b.exe"));
    nt_test::copyFileOrThrow(markProgramPath(), DeepFolder::longName(deep.file(L"Norvik_Tallo.exe")));
    // What a cut-off path would name instead.
    nt_test::copyFileOrThrow(markProgramPath(), base.file(L"Norvik_Tallo.exe"));

    const auto result = nt_test::runProcess(quoted(deep.file(L"b.exe")), base.path(), kStartTimeoutMs);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(0u, result.exitCode);
    Sleep(1500);
    EXPECT_FALSE(nt_test::fileExists(DeepFolder::longName(deep.file(L"started.txt"))));
    EXPECT_FALSE(nt_test::fileExists(base.file(L"started.txt")));
}

// The path logic on its own, for folder lengths a real folder can hardly have.
class LaunchPath : public ::testing::Test {
protected:
    bool make(const std::wstring& modulePath)
    {
        std::wmemset(buffer, L'#', kLaunchPathCapacity);
        const std::size_t n = std::min(modulePath.size(), kLaunchPathCapacity - 1);
        modulePath.copy(buffer, n);
        buffer[n] = L'\0';
        // As the platform reports it: a cut path fills the buffer.
        const auto length = static_cast<unsigned long>(
            modulePath.size() >= kLaunchPathCapacity ? kLaunchPathCapacity : modulePath.size());
        return makeMainProgramPath(buffer, length);
    }

    wchar_t buffer[kLaunchPathCapacity];
};

TEST_F(LaunchPath, ReplacesTheFileNameAfterTheLastBackslash)
{
    ASSERT_TRUE(make(L"C:\\Program Files\\Norvik\\VGA\\Norvik_Tallo\\BootStartNorvik_Tallo.exe"));
    EXPECT_STREQ(L"C:\\Program Files\\Norvik\\VGA\\Norvik_Tallo\\Norvik_Tallo.exe", buffer);
}

TEST_F(LaunchPath, TheLongestFittingFolderStillWorks)
{
    // Folder with backslash + "Norvik_Tallo.exe" + NUL fills all 260 characters.
    const std::wstring folder = L"C:\\" + std::wstring(259 - 16 - 4, L'a') + L"\\";
    ASSERT_TRUE(make(folder + L"b.exe"));
    EXPECT_EQ(folder + L"Norvik_Tallo.exe", std::wstring(buffer));
    EXPECT_EQ(259u, std::wcslen(buffer));
}

TEST_F(LaunchPath, RefusesWhenTheResultWouldNotFitAndWritesNothingPastTheBuffer)
{
    const std::wstring folder = L"C:\\" + std::wstring(259 - 16 - 3, L'a') + L"\\";
    EXPECT_FALSE(make(folder + L"b.exe"));
}

TEST_F(LaunchPath, RefusesATruncatedModulePath)
{
    // Cut inside the folder, the last backslash would point at a parent folder.
    const std::wstring path = L"C:\\short\\" + std::wstring(300, L'x') + L"\\BootStartNorvik_Tallo.exe";
    EXPECT_FALSE(make(path));
}

TEST_F(LaunchPath, RefusesAnEmptyOrFolderlessPath)
{
    EXPECT_FALSE(make(L""));
    EXPECT_FALSE(make(L"BootStartNorvik_Tallo.exe"));
}

} // namespace
