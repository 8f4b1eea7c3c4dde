// The card factory: the card and lamp mapping of each model, and what it
// refuses or lets through.
#include <gtest/gtest.h>

#include "card/Factory.h"
#include "card/board/N560GTX.h"
#include "card/board/N580GTX.h"
#include "card/board/RadeonHD6870.h"
#include "card/board/RadeonHD6970.h"
#include "card_fixtures.h"

#include <climits>
#include <stdexcept>

using namespace card_test;

namespace {

template <typename Card, typename Lamps>
void expectRow(int model)
{
    SCOPED_TRACE(model);
    TalloFactory factory(model);
    const std::unique_ptr<VideoCardBase> card = factory.createVideoCard();
    const std::unique_ptr<LedProcess> lamps = factory.createLedProcess();
    EXPECT_NE(nullptr, dynamic_cast<Card*>(card.get()));
    ASSERT_NE(nullptr, dynamic_cast<Lamps*>(lamps.get()));
    EXPECT_EQ(nullptr, lamps->dialog());
}

// The message of what the call threw as std::runtime_error, or what else happened.
template <typename Call>
std::string runtimeError(Call call)
{
    try {
        call();
    } catch (const std::runtime_error& failure) {
        return failure.what();
    } catch (...) {
        return "(another exception)";
    }
    return "(nothing thrown)";
}

} // namespace

// Both stand-ins are found: atipdlxx.dll through the fixture, nvapi.dll for the whole program.
TEST(Factory, EachModelGivesTheCardAndLampsOfItsRow)
{
    StandIn atiStandIn;
    expectRow<RadeonHD6870, R6870LedProcess>(0);
    expectRow<RadeonHD6970, R6970LedProcess>(1);
    expectRow<N560GTX, N560GTXLedProcess>(2);
    expectRow<N580GTX, N580GTXLedProcess>(3);
}

TEST(Factory, NoSupportedCardIsRefusedBeforeAnythingIsCreated)
{
    StandIn atiStandIn;
    for (const int model : {4, -1, 5, INT_MIN}) {
        SCOPED_TRACE(model);
        TalloFactory factory(model);
        EXPECT_EQ("Unknown Graphics Card!", runtimeError([&] { factory.createVideoCard(); }));
        EXPECT_EQ("Unknown Graphics Card!", runtimeError([&] { factory.createLedProcess(); }));
    }
    EXPECT_TRUE(atiStandIn.control().log().empty()) << "no driver was called";
}

TEST(Factory, AtiFailuresPassThroughUnchanged)
{
    for (const int model : {0, 1}) {
        TalloFactory factory(model);
        EXPECT_EQ("Unable to load atipdlxx.dll!", runtimeError([&] { factory.createVideoCard(); }));
    }
    StandIn atiStandIn;
    sim::SimSettings settings;
    settings.adapters = std::vector<int>{};
    atiStandIn.control().apply(settings);
    TalloFactory factory(1);
    EXPECT_EQ("Could not find any ATI adapters in the system!",
              runtimeError([&] { factory.createVideoCard(); }));
}
