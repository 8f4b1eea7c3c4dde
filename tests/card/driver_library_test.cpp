// Loading a driver library where the system knows no search flags (Windows 7
// without update KB2533623), through the loader seam.
#include <gtest/gtest.h>

#include "card/driver/DriverLibrary.h"
#include "nt_test.h"

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kSearchDefaultDirs = 0x00001000; // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS

std::vector<std::pair<std::string, DWORD>> attempts;
DWORD refusal = ERROR_INVALID_PARAMETER;

// A system that refuses the search flag the way Windows 7 does without the update.
HMODULE WINAPI refusingSearchFlags(LPCSTR fileName, HANDLE, DWORD flags)
{
    attempts.emplace_back(fileName, flags);
    if ((flags & kSearchDefaultDirs) != 0) {
        SetLastError(refusal);
        return nullptr;
    }
    return LoadLibraryExA(fileName, nullptr, flags);
}

std::string ansi(const std::wstring& text)
{
    std::string narrow(text.size() * 2 + 1, '\0');
    const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(),
                                           static_cast<int>(narrow.size()), nullptr, nullptr);
    narrow.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return narrow;
}

} // namespace

TEST(DriverLibrary, RefusedSearchFlagsLoadByFullPathFromEachFolderInTurn)
{
    attempts.clear();
    refusal = ERROR_INVALID_PARAMETER;
    const nt_test::TempDir empty;
    const std::string withoutIt = ansi(empty.path());
    const std::string withIt = ansi(nt_test::simDir() + L"\\atipdlxx");
    const HMODULE library = loadDriverLibrary("atipdlxx.dll", &refusingSearchFlags, {withoutIt, withIt});
    ASSERT_NE(nullptr, library);
    EXPECT_NE(nullptr, reinterpret_cast<void*>(GetProcAddress(library, "ATIDL_WriteAndReadI2C")));
    FreeLibrary(library);
    // Never the bare name without the flag: that would search the current folder and PATH.
    const std::vector<std::pair<std::string, DWORD>> expected = {
        {"atipdlxx.dll", kSearchDefaultDirs},
        {withoutIt + "\\atipdlxx.dll", LOAD_WITH_ALTERED_SEARCH_PATH},
        {withIt + "\\atipdlxx.dll", LOAD_WITH_ALTERED_SEARCH_PATH},
    };
    EXPECT_EQ(expected, attempts);
}

TEST(DriverLibrary, AnyOtherFailureIsFinal)
{
    attempts.clear();
    refusal = ERROR_MOD_NOT_FOUND;
    EXPECT_EQ(nullptr,
              loadDriverLibrary("nvapi.dll", &refusingSearchFlags, {ansi(nt_test::simDir() + L"\\nvapi")}));
    EXPECT_EQ(1u, attempts.size());
}

TEST(DriverLibrary, FallsBackToTheProgramsFolderThenTheSystemFolder)
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::vector<std::string> expected = {ansi(nt_test::moduleDir()), system};
    EXPECT_EQ(expected, driverLibraryFolders());
}
