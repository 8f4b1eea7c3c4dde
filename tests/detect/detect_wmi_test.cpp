#include <gtest/gtest.h>

#include "detect/CardModel.h"
#include "detect/SystemInfo.h"
#include "nt_test.h"

#include <regex>
#include <string>

namespace {

constexpr DWORD kIdentifyTimeoutMs = 30000;
constexpr DWORD kModelStatusBase = 100;

// What the child program reports for the adapter the prefix shows it.
nt_test::ProcessResult identifyInChild()
{
    return nt_test::runProcess(L"\"" + nt_test::moduleDir() + L"\\identify_card.exe\"", L"",
                               kIdentifyTimeoutMs);
}

TEST(SystemInfo, ConnectsAndReadsTheAdapterName)
{
    SystemInfo info;
    EXPECT_EQ(S_OK, info.status().locator);
    EXPECT_EQ(S_OK, info.status().connection);
    const std::string name = info.videoControllerName();
    EXPECT_EQ(S_OK, info.status().enumeration);
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(name, info.lastValue());
}

TEST(SystemInfo, ASecondConnectionInTheProcessReadsAsTheFirst)
{
    std::string first;
    {
        SystemInfo info;
        first = info.videoControllerName();
    }
    SystemInfo second;
    EXPECT_EQ(S_OK, second.status().connection);
    EXPECT_EQ(first, second.videoControllerName());
    SystemInfo third;
    EXPECT_EQ(first, third.videoControllerName());
    EXPECT_EQ(cardModelForAdapterName(first), identifyCardModel());
}

TEST(SystemInfo, QueriesPropertiesAsText)
{
    SystemInfo info;
    info.queryProperty("Win32_VideoController", "AdapterRAM");
    EXPECT_TRUE(std::regex_match(info.lastValue(), std::regex("[0-9]+ MBytes"))) << info.lastValue();

    info.queryProperty("Win32_VideoController", "Name");
    EXPECT_EQ(info.videoControllerName(), info.lastValue());

    info.queryProperty("Win32_VideoController", "NoSuchProperty");
    EXPECT_EQ("Unknown!", info.lastValue());
    info.queryProperty("Win32_VideoController", "");
    EXPECT_EQ("Unknown!", info.lastValue());
}

// Depending on the service, an unknown class fails to enumerate or has no
// instance; either way the last text stays.
TEST(SystemInfo, AnUnknownClassLeavesTheTextAsItWas)
{
    SystemInfo info;
    const std::string name = info.videoControllerName();
    info.queryProperty("NoSuchClass_Norvik", "Name");
    EXPECT_EQ(name, info.lastValue());
    info.queryProperty("", "Name");
    EXPECT_EQ(name, info.lastValue());
}

struct AdapterCase {
    DWORD vendorId;
    DWORD deviceId;
    const char* name; // as the platform reports it
    int model;
};

class IdentifyCardModel : public ::testing::TestWithParam<AdapterCase> {};

TEST_P(IdentifyCardModel, MapsTheReportedAdapter)
{
    const AdapterCase& adapter = GetParam();
    nt_test::ScopedDisplayAdapter shown(adapter.vendorId, adapter.deviceId);
    const auto result = identifyInChild();
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(kModelStatusBase + adapter.model, result.exitCode) << adapter.name;
}

INSTANTIATE_TEST_SUITE_P(Adapters, IdentifyCardModel,
                         ::testing::Values(AdapterCase{0x1002, 0x6739, "AMD Radeon HD 6800 Series", 0},
                                           AdapterCase{0x1002, 0x6719, "AMD Radeon HD 6900 Series", 1},
                                           AdapterCase{0x10de, 0x1200, "NVIDIA GeForce GTX 560 Ti", 2},
                                           AdapterCase{0x10de, 0x1080, "NVIDIA GeForce GTX 580", 3},
                                           AdapterCase{0x10de, 0x1201, "NVIDIA GeForce GTX 560", 4},
                                           AdapterCase{0x8086, 0x0166, "Intel(R) HD Graphics 4000", 4}));

} // namespace
