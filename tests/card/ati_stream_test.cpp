// The ATI stream against the stand-in atipdlxx.dll.
#include <gtest/gtest.h>

#include "card/driver/AtipdlxxStream.h"
#include "card/driver/DisplayDevices.h"
#include "card_fixtures.h"
#include "tests/card/probe_status.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

using namespace card_test;

namespace {

// The request record: 32 bytes in the 32-bit library, 40 in the natural
// 64-bit layout of the same fields (the test build).
constexpr int kRecordSize = sizeof(void*) == 4 ? 32 : 40;

template <typename... Devices>
std::string constructionFailure(const Devices&... devices)
{
    try {
        AtipdlxxStream stream{devices...};
    } catch (const std::exception& failure) {
        return failure.what();
    }
    return "(constructed)";
}

// Display devices as a test lists them, by enumeration index.
class ListedDevices : public DisplayDevices {
public:
    struct Device {
        bool attached;
        bool opens = true;
    };
    explicit ListedDevices(std::vector<Device> devices) : devices_(std::move(devices)) {}

    bool find(DWORD index, DISPLAY_DEVICEA& device) const override
    {
        if (index >= devices_.size()) {
            return false;
        }
        std::snprintf(device.DeviceName, sizeof device.DeviceName, "%lu", static_cast<unsigned long>(index));
        device.StateFlags = devices_[index].attached ? DISPLAY_DEVICE_ATTACHED_TO_DESKTOP : 0;
        return true;
    }

    UniqueCreatedDC open(const DISPLAY_DEVICEA& device) const override
    {
        const bool opens = devices_.at(std::strtoul(device.DeviceName, nullptr, 10)).opens;
        return UniqueCreatedDC(opens ? CreateCompatibleDC(nullptr) : nullptr);
    }

private:
    std::vector<Device> devices_;
};

class AtiStream : public ::testing::Test {
protected:
    std::vector<long long> offeredIndexes()
    {
        std::vector<long long> indexes;
        for (const sim::LogEntry& entry : standIn.control().log("GetAdapterID")) {
            indexes.push_back(entry.field("index"));
        }
        return indexes;
    }

    StandIn standIn;
};

} // namespace

TEST(AtiStreamLibrary, WithoutTheLibraryConstructionFails)
{
    EXPECT_EQ("Unable to load atipdlxx.dll!", constructionFailure());
}

TEST(AtiStreamLibrary, ALibraryWithoutTheRevisionFunctionIsRefused)
{
    StandIn norev(L"atipdlxx-norev");
    EXPECT_EQ("Could not find function ATIDL_xxxx!", constructionFailure());
    EXPECT_TRUE(norev.control().log("GetAdapterID").empty()) << "no adapter query before all are bound";
}

// The program runs elevated: a library of that name in the current folder or
// on PATH must not be loaded, one beside the program must.
TEST(AtiStreamLibrary, LoadsFromTheProgramsFolderOnly)
{
    const std::wstring standIn = nt_test::simDir() + L"\\atipdlxx\\atipdlxx.dll";
    const std::wstring probe = nt_test::moduleDir() + L"\\ati_probe.exe";
    nt_test::TempDir program;
    nt_test::TempDir planted;
    nt_test::copyFileOrThrow(probe, program.file(L"ati_probe.exe"));
    nt_test::copyFileOrThrow(standIn, planted.file(L"atipdlxx.dll"));

    wchar_t oldPath[32767] = {};
    GetEnvironmentVariableW(L"PATH", oldPath, 32767);
    SetEnvironmentVariableW(L"PATH", (planted.path() + L";" + oldPath).c_str());
    const auto withPlanted =
        nt_test::runProcess(L"\"" + program.file(L"ati_probe.exe") + L"\"", planted.path(), 30000);
    SetEnvironmentVariableW(L"PATH", oldPath);
    ASSERT_TRUE(withPlanted.finished);
    EXPECT_EQ(kLibraryNotLoaded, static_cast<int>(withPlanted.exitCode));

    nt_test::copyFileOrThrow(standIn, program.file(L"atipdlxx.dll"));
    const auto beside =
        nt_test::runProcess(L"\"" + program.file(L"ati_probe.exe") + L"\"", planted.path(), 30000);
    ASSERT_TRUE(beside.finished);
    EXPECT_EQ(kStreamBuilt, static_cast<int>(beside.exitCode));
}

TEST_F(AtiStream, FindsTheSystemsDisplayAdapter)
{
    AtipdlxxStream stream;
    EXPECT_EQ(0, stream.adapterNumber());
}

TEST_F(AtiStream, OnlyDevicesAttachedToTheDesktopAreOfferedAndTheFirstAcceptedWins)
{
    const ListedDevices devices({{false}, {true, false}, {true}, {true}});
    AtipdlxxStream stream(devices);
    EXPECT_EQ(2, stream.adapterNumber());
    EXPECT_EQ(std::vector<long long>{2}, offeredIndexes());
}

TEST_F(AtiStream, KeepsTheEnumerationIndexNotTheLibrarysId)
{
    sim::SimSettings settings;
    settings.adapters = std::vector<int>{1, 2};
    settings.zeroIdAdapters = {1};
    standIn.control().apply(settings);
    const ListedDevices devices({{true}, {true}, {true}, {true}});
    AtipdlxxStream stream(devices);
    ASSERT_EQ(2, stream.adapterNumber());
    EXPECT_EQ((std::vector<long long>{0, 1, 2}), offeredIndexes());

    unsigned char byte = 0;
    stream.read(&byte, 25, 1);
    const auto transactions = standIn.control().log("WriteAndReadI2C");
    ASSERT_EQ(1u, transactions.size());
    EXPECT_EQ(2, transactions[0].field("adapter"));
}

TEST_F(AtiStream, WithoutAQualifyingAdapterConstructionFails)
{
    sim::SimSettings settings;
    settings.zeroIdAdapters = {0, 1};
    standIn.control().apply(settings);
    const ListedDevices devices({{true}, {true}, {false}});
    EXPECT_EQ("Could not find any ATI adapters in the system!", constructionFailure(devices));

    settings.zeroIdAdapters.clear();
    settings.adapters = std::vector<int>{};
    standIn.control().apply(settings);
    EXPECT_EQ("Could not find any ATI adapters in the system!", constructionFailure());
}

TEST_F(AtiStream, EachCallIsOneTransactionWithTheDriversRecord)
{
    standIn.control().apply(sim::withRegister25(0x5A));
    AtipdlxxStream stream;
    unsigned char byte = 0;
    EXPECT_EQ(1, stream.read(&byte, 25, 1));
    EXPECT_EQ(0x5A, byte);
    const unsigned char value = 0x77;
    stream.write(&value, 19, 1);

    const auto transactions = standIn.control().log("WriteAndReadI2C");
    ASSERT_EQ(2u, transactions.size());
    const struct {
        int reg, action, value;
    } expected[] = {{25, 1, 0x5A}, {19, 2, 0x77}};
    for (std::size_t i = 0; i < 2; ++i) {
        const sim::LogEntry& entry = transactions[i];
        EXPECT_EQ(kRecordSize, entry.field("record"));
        EXPECT_EQ(1, entry.field("line"));
        EXPECT_EQ(0x8C, entry.field("address"));
        EXPECT_EQ(expected[i].reg, entry.field("register"));
        EXPECT_EQ(expected[i].action, entry.field("action"));
        EXPECT_EQ(75, entry.field("speed"));
        EXPECT_EQ(1, entry.field("size"));
        EXPECT_EQ(expected[i].value, entry.field("value"));
        EXPECT_EQ(0, entry.field("result"));
    }
    EXPECT_TRUE(standIn.control().log("GetWriteAndReadI2CRev").empty()) << "bound, never called";
}

TEST_F(AtiStream, AFailedReadLeavesTheBufferAndReturnsTheCount)
{
    sim::SimSettings settings = sim::withRegister25(0x5A);
    settings.failTransactions = true;
    standIn.control().apply(settings);
    AtipdlxxStream stream;
    unsigned char bytes[3] = {0xEE, 0xEE, 0xEE};
    EXPECT_EQ(3, stream.read(bytes, 25, 3));
    EXPECT_EQ(0xEE, bytes[0]);
    EXPECT_EQ(-1, standIn.control().log("WriteAndReadI2C").at(0).field("result"));
}

// A transaction stuck in the driver holds the stream's mutex for good: the
// ones after it wait only until it is known to be stuck, then each just tries
// (a reset would otherwise take 38 seconds).
TEST_F(AtiStream, ATransactionStuckInTheDriverHoldsUpTheOthersOnce)
{
    AtipdlxxStream stream;
    sim::SimSettings settings;
    settings.blockRegister = 25;
    standIn.control().apply(settings);
    std::thread reader([&] {
        unsigned char reading = 0;
        stream.read(&reading, 25, 1);
    });
    ASSERT_TRUE(waitUntil([&] { return !standIn.control().log("Block").empty(); }));

    constexpr int kWrites = 60;
    const double ms = nt_test::millisecondsOf([&] {
        for (int i = 0; i < kWrites; ++i) {
            writeRegister(stream, 1, static_cast<std::uint8_t>(i));
        }
    });
    EXPECT_LT(ms, kWrites * AtipdlxxStream::kTransactionWaitMs / 2.0)
        << "each write waited for the stuck read";

    standIn.control().apply(sim::SimSettings{}); // the driver answers again
    reader.join();
    const std::vector<sim::LogEntry> transactions = standIn.control().log("WriteAndReadI2C");
    ASSERT_EQ(static_cast<std::size_t>(kWrites + 1), transactions.size());
    EXPECT_EQ(1, transactions.back().field("action")) << "the read came back last";
}
