#include <gtest/gtest.h>

#include "app/Autostart.h"
#include "nt_test.h"

#include <string>
#include <vector>

namespace {

const std::wstring kRunKeyW = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kScratchKeyW = L"SOFTWARE\\NorvikTalloTests";
constexpr char kScratchKey[] = "SOFTWARE\\NorvikTalloTests";

// REG_SZ data as the registry keeps it (UTF-16) and any program reads it back.
std::vector<BYTE> sz(const std::string& text)
{
    std::wstring wide(text.begin(), text.end());
    const auto* first = reinterpret_cast<const BYTE*>(wide.c_str());
    return {first, first + (wide.size() + 1) * sizeof(wchar_t)};
}

// Raw bytes, stored as REG_BINARY so that no text conversion touches them.
std::vector<BYTE> raw(const std::string& bytes)
{
    return {bytes.begin(), bytes.end()};
}

std::optional<std::vector<BYTE>> runValue(DWORD* type = nullptr)
{
    return nt_test::readRegistryValue(HKEY_LOCAL_MACHINE, kRunKeyW, L"Norvik_Tallo", type);
}

// Each test starts with a known Run value and leaves the prefix as it found it.
class AutostartChoice : public ::testing::Test {
protected:
    void startWith(const std::optional<std::vector<BYTE>>& data, DWORD type = REG_SZ)
    {
        guard_.emplace(HKEY_LOCAL_MACHINE, kRunKeyW, L"Norvik_Tallo", type, data);
    }

    std::optional<nt_test::ScopedRegistryValue> guard_;
};

TEST_F(AutostartChoice, YesWithoutAValueWritesExactlyTheLauncherPath)
{
    startWith(std::nullopt);
    ApplyAutostartChoice(true, false);
    DWORD type = 0;
    const auto data = runValue(&type);
    ASSERT_TRUE(data);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    // The text and its one terminating NUL, nothing after it.
    EXPECT_EQ(sz("C:\\Program Files\\Norvik\\VGA\\Norvik_Tallo\\BootStartNorvik_Tallo.exe"), *data);
}

TEST_F(AutostartChoice, AValueWithEmptyDataCountsAsAbsent)
{
    startWith(sz(""));
    ApplyAutostartChoice(true, false);
    EXPECT_EQ(sz(kLauncherPath), runValue());
}

TEST_F(AutostartChoice, NoWithAValueDeletesItAndKeepsTheKey)
{
    startWith(sz(kLauncherPath));
    ApplyAutostartChoice(false, true);
    EXPECT_FALSE(runValue());
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKeyW.c_str(), 0, KEY_READ, &key));
    RegCloseKey(key);
}

TEST_F(AutostartChoice, OtherCombinationsChangeNothing)
{
    startWith(std::nullopt);
    ApplyAutostartChoice(false, true);
    EXPECT_FALSE(runValue());

    // An existing value is never rewritten, even with another path.
    startWith(sz("D:\\elsewhere\\start.exe"));
    ApplyAutostartChoice(true, false);
    EXPECT_EQ(sz("D:\\elsewhere\\start.exe"), runValue());
}

TEST_F(AutostartChoice, AValueOfAnotherTypeIsReadAsTextAndCanBeDeleted)
{
    startWith(std::vector<BYTE>{1, 0, 0, 0}, REG_DWORD);
    ApplyAutostartChoice(true, false);
    DWORD type = 0;
    ASSERT_TRUE(runValue(&type));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    ApplyAutostartChoice(false, true);
    EXPECT_FALSE(runValue());
}

TEST_F(AutostartChoice, AValueLongerThanTheBufferCountsAsAbsentAndIsReplacedOnYes)
{
    startWith(sz(std::string(6000, 'x')));
    ApplyAutostartChoice(false, true);
    ASSERT_TRUE(runValue()); // "No" with an unreadable value: nothing to delete
    ApplyAutostartChoice(true, false);
    EXPECT_EQ(sz(kLauncherPath), runValue());
}

class RegistryFunctions : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteKeyW(HKEY_LOCAL_MACHINE, kScratchKeyW.c_str()); }

    void put(const std::vector<BYTE>& data)
    {
        nt_test::writeRegistryValue(HKEY_LOCAL_MACHINE, kScratchKeyW, L"v", REG_BINARY, data);
    }
};

TEST_F(RegistryFunctions, ReadGivesTheDefaultWhenKeyOrValueIsMissing)
{
    EXPECT_EQ("fallback", ReadRegistryString(HKEY_LOCAL_MACHINE, kScratchKey, "v", "fallback"));
    put(raw("x"));
    EXPECT_EQ("fallback", ReadRegistryString(HKEY_LOCAL_MACHINE, kScratchKey, "other", "fallback"));
}

TEST_F(RegistryFunctions, ReadStopsAtTheFirstNulAndNeverPastTheReturnedBytes)
{
    put(raw(std::string("first\0second", 12)));
    EXPECT_EQ("first", ReadRegistryString(HKEY_LOCAL_MACHINE, kScratchKey, "v", ""));

    // Exactly 5001 bytes and no NUL: all of them, and nothing more.
    put(raw(std::string(5001, 'a')));
    EXPECT_EQ(std::string(5001, 'a'), ReadRegistryString(HKEY_LOCAL_MACHINE, kScratchKey, "v", ""));

    put(raw(std::string(5001, 'a') + '\0'));
    EXPECT_EQ("default", ReadRegistryString(HKEY_LOCAL_MACHINE, kScratchKey, "v", "default"));
}

TEST_F(RegistryFunctions, WriteCreatesTheKeyAndDeleteReportsWhetherItDeleted)
{
    WriteRegistryString(HKEY_LOCAL_MACHINE, kScratchKey, "v", "text");
    EXPECT_EQ(sz("text"), nt_test::readRegistryValue(HKEY_LOCAL_MACHINE, kScratchKeyW, L"v"));
    EXPECT_TRUE(DeleteRegistryValue(HKEY_LOCAL_MACHINE, kScratchKey, "v"));
    EXPECT_FALSE(DeleteRegistryValue(HKEY_LOCAL_MACHINE, kScratchKey, "v"));
    EXPECT_FALSE(DeleteRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\NoSuchKeyForNorvikTallo", "v"));
}

} // namespace
