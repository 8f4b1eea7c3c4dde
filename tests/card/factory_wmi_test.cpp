// The factory identifies the card itself, through the management service of
// the prefix, whose reported adapter the test sets.
#include <gtest/gtest.h>

#include "detect/CardModel.h"
#include "nt_test.h"
#include "tests/card/probe_status.h"

namespace {

int runFactoryProbe()
{
    const auto result =
        nt_test::runProcess(L"\"" + nt_test::moduleDir() + L"\\factory_probe.exe\"", L"", 60000);
    EXPECT_TRUE(result.finished);
    return static_cast<int>(result.exitCode);
}

} // namespace

TEST(FactoryIdentification, TheFactoryBuildsForTheAdapterTheSystemReports)
{
    {
        nt_test::ScopedDisplayAdapter adapter(0x10DE, 0x1080); // "NVIDIA GeForce GTX 580"
        EXPECT_EQ(kBothObjectsMade + kGeForceGTX580Model, runFactoryProbe());
    }
    {
        nt_test::ScopedDisplayAdapter adapter(0x1002, 0x6719); // "AMD Radeon HD 6900 Series"
        EXPECT_EQ(kAmdLibraryMissing + kRadeonHD6900Model, runFactoryProbe())
            << "the AMD library's failure, not another";
    }
    {
        nt_test::ScopedDisplayAdapter adapter(0x10DE, 0x1201); // "NVIDIA GeForce GTX 560", unsupported
        EXPECT_EQ(kRefusedAsUnknown + kUnknownCardModel, runFactoryProbe());
    }
}
