// The NVIDIA driver binding in fresh processes: where nvapi.dll is looked for,
// the order of construction, and a driver that is missing, fails to
// initialise or lacks an operation.
#include <gtest/gtest.h>

#include "nvapi_fixtures.h"

using namespace card_test;

namespace {

constexpr DWORD kUntouchedByte = 0xEE;

// nv_probe in a scratch folder, with or without the stand-in beside it.
class NvapiProbe : public ::testing::Test {
protected:
    NvapiProbe()
    {
        nt_test::copyFileOrThrow(nt_test::moduleDir() + L"\\nv_probe.exe", program.file(L"nv_probe.exe"));
    }

    void placeStandIn(const nt_test::TempDir& folder)
    {
        nt_test::copyFileOrThrow(nt_test::simDir() + L"\\nvapi\\nvapi.dll", folder.file(L"nvapi.dll"));
    }

    DWORD run(const std::wstring& arguments = L"", const std::wstring& workingDir = L"")
    {
        const auto result = nt_test::runProcess(L"\"" + program.file(L"nv_probe.exe") + L"\" " + arguments,
                                                workingDir, 30000);
        EXPECT_TRUE(result.finished);
        return result.exitCode;
    }

    std::vector<std::string> callNames()
    {
        std::vector<std::string> names;
        for (const sim::LogEntry& entry : standIn.control().log()) {
            names.push_back(entry.function);
        }
        return names;
    }

    nt_test::TempDir program;
    NvapiStandIn standIn;
};

} // namespace

TEST_F(NvapiProbe, WithoutTheDriverStreamsAndCardsAreBuiltAndReachNothing)
{
    EXPECT_EQ(kUntouchedByte, run());
    EXPECT_EQ(0u, run(L"cards"));
}

// The program runs elevated: a library of that name in the current folder or
// on PATH must not be loaded, one beside the program must.
TEST_F(NvapiProbe, LoadsTheDriverFromTheProgramsFolderOnly)
{
    standIn.control().apply(sim::withRegister25(0x5A));
    nt_test::TempDir planted;
    placeStandIn(planted);
    wchar_t oldPath[32767] = {};
    GetEnvironmentVariableW(L"PATH", oldPath, 32767);
    SetEnvironmentVariableW(L"PATH", (planted.path() + L";" + oldPath).c_str());
    const DWORD withPlanted = run(L"", planted.path());
    SetEnvironmentVariableW(L"PATH", oldPath);
    EXPECT_EQ(kUntouchedByte, withPlanted);
    EXPECT_TRUE(callNames().empty());

    placeStandIn(program);
    EXPECT_EQ(0x5Au, run(L"", planted.path()));
}

TEST_F(NvapiProbe, TheDriverIsInitialisedOnceThenEachStreamEnumeratesAndPreparesItsGpu)
{
    standIn.control().apply(sim::withRegister25(0x5A));
    placeStandIn(program);
    ASSERT_EQ(0x5Au, run());
    std::vector<sim::LogEntry> calls = standIn.control().log();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ("QueryInterface", calls[0].function);
    EXPECT_EQ(0x0150E828, calls[0].field("id"));
    EXPECT_EQ("Initialize", calls[1].function);
    for (const sim::LogEntry& query : standIn.control().log("QueryInterface")) {
        EXPECT_EQ(1, query.field("found")) << std::hex << query.field("id");
    }
    std::erase_if(calls, [](const sim::LogEntry& entry) { return entry.function == "QueryInterface"; });
    std::vector<std::string> names;
    names.reserve(calls.size());
    for (const sim::LogEntry& entry : calls) {
        names.push_back(entry.function);
    }
    const std::vector<std::string> expected = {"Initialize", "EnumPhysicalGPUs", "GpuRecord",
                                               "GpuRecord",  "EnumPhysicalGPUs", "GpuRecord",
                                               "GpuRecord",  "I2CRead",          "I2CWrite"};
    EXPECT_EQ(expected, names);
}

TEST_F(NvapiProbe, AFailedInitialisationLeavesEveryOperationUnreached)
{
    sim::SimSettings settings = sim::withRegister25(0x5A);
    settings.nvapiInitFails = true;
    standIn.control().apply(settings);
    placeStandIn(program);
    EXPECT_EQ(kUntouchedByte, run());
    EXPECT_EQ((std::vector<std::string>{"QueryInterface", "Initialize"}), callNames()) << "and only once";
    EXPECT_EQ(0u, run(L"cards"));
}

TEST_F(NvapiProbe, AMissingOperationIsSkippedAndTheRestStillWork)
{
    sim::SimSettings settings = sim::withRegister25(0x5A);
    settings.nvapiMissing = {0x4D7B0709};
    standIn.control().apply(settings);
    placeStandIn(program);
    EXPECT_EQ(kUntouchedByte, run());
    EXPECT_TRUE(standIn.control().log("I2CRead").empty());
    ASSERT_EQ(1u, standIn.control().log("I2CWrite").size());
    EXPECT_EQ(0, standIn.control().log("I2CWrite")[0].field("result"));

    settings.nvapiMissing = {0x0150E828};
    standIn.control().apply(settings);
    standIn.control().clearLog();
    EXPECT_EQ(kUntouchedByte, run());
    EXPECT_EQ((std::vector<std::string>{"QueryInterface"}), callNames()) << "nothing is used uninitialised";
}
