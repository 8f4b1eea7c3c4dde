// The NVIDIA stream against the stand-in nvapi.dll: the records it hands the
// driver, byte for byte as the stand-in reads them, and what it does when the
// driver has no GPU or fails.
#include <gtest/gtest.h>

#include "card/driver/NVidiaStream.h"
#include "nvapi_fixtures.h"

using namespace card_test;

namespace {

constexpr unsigned char kUntouched = 0xEE;
// The request record's size in its version: the 32-bit driver's 32 bytes, or
// the natural 64-bit layout of the same fields (48 bytes) in the test build.
constexpr int kRequestVersion = sizeof(void*) == 4 ? 0x00010020 : 0x00010030;

class NvidiaStream : public ::testing::Test {
protected:
    NvapiStandIn standIn;
};

long long firstGpu(NvapiStandIn& standIn)
{
    const auto enumerations = standIn.calls("EnumPhysicalGPUs");
    return enumerations.empty() ? -1 : enumerations.back().field("first");
}

} // namespace

TEST_F(NvidiaStream, EachTransactionHandsTheDriverItsI2CRecord)
{
    standIn.control().apply(sim::withRegister25(0x5A));
    NVidiaStream stream;
    unsigned char byte = 0;
    EXPECT_EQ(0, stream.read(&byte, 25, 1));
    EXPECT_EQ(0x5A, byte);
    const unsigned char value = 0x77;
    stream.write(&value, 19, 1);

    std::vector<sim::LogEntry> transactions = standIn.calls("I2CRead");
    const auto writes = standIn.calls("I2CWrite");
    ASSERT_EQ(1u, transactions.size());
    ASSERT_EQ(1u, writes.size());
    transactions.push_back(writes[0]);
    const struct {
        int reg, value;
    } expected[] = {{25, 0x5A}, {19, 0x77}};
    for (std::size_t i = 0; i < 2; ++i) {
        const sim::LogEntry& entry = transactions[i];
        EXPECT_EQ(kRequestVersion, entry.field("version"));
        EXPECT_EQ(0, entry.field("mask"));
        EXPECT_EQ(0, entry.field("ddc"));
        EXPECT_EQ(0x8C, entry.field("address"));
        EXPECT_EQ(expected[i].reg, entry.field("register"));
        EXPECT_EQ(1, entry.field("regsize"));
        EXPECT_EQ(1, entry.field("size"));
        EXPECT_EQ(40, entry.field("speed"));
        EXPECT_EQ(1, entry.field("unknown"));
        EXPECT_EQ(expected[i].value, entry.field("value"));
        EXPECT_EQ(0, entry.field("result"));
        EXPECT_EQ(firstGpu(standIn), entry.field("gpu"));
    }
}

TEST_F(NvidiaStream, OneByteMovesWhateverTheCount)
{
    standIn.control().apply(sim::withRegister25(0x5A));
    NVidiaStream stream;
    unsigned char buffer[4] = {kUntouched, kUntouched, kUntouched, kUntouched};
    EXPECT_EQ(0, stream.read(buffer, 25, 4));
    EXPECT_EQ(0x5A, buffer[0]);
    EXPECT_EQ(kUntouched, buffer[1]);
    EXPECT_EQ(kUntouched, buffer[3]);

    const unsigned char values[2] = {0x33, 0x44};
    stream.write(values, 20, 2);
    ASSERT_EQ(1u, standIn.calls("I2CWrite").size());
    EXPECT_EQ(1, standIn.calls("I2CWrite")[0].field("size"));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{20, 0x33}}), standIn.writes());
}

TEST_F(NvidiaStream, RegisterNumbersAreSentAsTheirLowByte)
{
    standIn.control().apply(sim::withRegister25(0x5A));
    NVidiaStream stream;
    unsigned char byte = 0;
    stream.read(&byte, 256 + 25, 1);
    EXPECT_EQ(0x5A, byte);
    const unsigned char value = 0x11;
    stream.write(&value, 0x7FFFFF00 + 19, 1);
    stream.write(&value, -1, 1);
    EXPECT_EQ(25, standIn.calls("I2CRead").at(0).field("register"));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{19, 0x11}, {255, 0x11}}), standIn.writes());
}

// The driver takes these two queries before I2C traffic: the second asks for
// the number the first left in the record's second word, less one.
TEST_F(NvidiaStream, ConstructionQueriesTheGpuRecordTwiceWithOneFreshRecord)
{
    NVidiaStream stream;
    const auto queries = standIn.calls("GpuRecord");
    ASSERT_EQ(2u, queries.size());
    EXPECT_EQ(-1, queries[0].field("number"));
    EXPECT_EQ(0, queries[0].field("second"));
    EXPECT_EQ(0, queries[0].field("dirty")) << "a zeroed record";
    EXPECT_EQ(2, queries[1].field("number")) << "the stand-in left 3";
    EXPECT_EQ(3, queries[1].field("second")) << "the same record again";
    for (const sim::LogEntry& query : queries) {
        EXPECT_EQ(0x00012A74, query.field("version"));
        EXPECT_EQ(firstGpu(standIn), query.field("gpu"));
        EXPECT_EQ(0, query.field("result"));
    }
}

TEST_F(NvidiaStream, OnlyTheFirstGpuEnumeratedIsAddressed)
{
    sim::SimSettings settings;
    settings.nvapiGpus = 3;
    standIn.control().apply(settings);
    NVidiaStream stream;
    unsigned char byte = 0;
    stream.read(&byte, 25, 1);
    stream.write(&byte, 19, 1);
    ASSERT_EQ(3, standIn.calls("EnumPhysicalGPUs").at(0).field("gpus"));
    EXPECT_EQ(firstGpu(standIn), standIn.calls("I2CRead").at(0).field("gpu"));
    EXPECT_EQ(firstGpu(standIn), standIn.calls("I2CWrite").at(0).field("gpu"));
}

TEST_F(NvidiaStream, WithoutAGpuTransactionsFailAndNothingMoves)
{
    sim::SimSettings settings = sim::withRegister25(0x5A);
    settings.nvapiGpus = 0;
    standIn.control().apply(settings);
    NVidiaStream stream;
    unsigned char byte = kUntouched;
    EXPECT_EQ(0, stream.read(&byte, 25, 1));
    EXPECT_EQ(kUntouched, byte);
    const unsigned char value = 0x21;
    stream.write(&value, 22, 1);
    ASSERT_EQ(1u, standIn.calls("I2CWrite").size());
    EXPECT_EQ(0, standIn.calls("I2CWrite")[0].field("gpu")) << "the handle stays null";
    EXPECT_GT(0, standIn.calls("I2CWrite")[0].field("result"));
}

TEST_F(NvidiaStream, AFailedReadLeavesTheBufferAndStillReturnsZero)
{
    sim::SimSettings settings = sim::withRegister25(0x5A);
    settings.failTransactions = true;
    standIn.control().apply(settings);
    NVidiaStream stream;
    unsigned char byte = kUntouched;
    EXPECT_EQ(0, stream.read(&byte, 25, 1));
    EXPECT_EQ(kUntouched, byte);
    EXPECT_GT(0, standIn.calls("I2CRead").at(0).field("result"));
}
