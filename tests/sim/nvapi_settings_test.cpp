// The NVIDIA stand-in's keys in the control file.
#include <gtest/gtest.h>

#include "SimSettings.h"

TEST(NvapiSettings, WhatIsFormattedParsesBackTheSame)
{
    sim::SimSettings settings;
    settings.nvapiGpus = 0;
    settings.nvapiInitFails = true;
    settings.nvapiMissing = {0xE5AC921F, 0x0150E828};
    const sim::SimSettings back = sim::parseSettings(sim::formatSettings(settings));
    EXPECT_EQ(0, back.nvapiGpus);
    EXPECT_TRUE(back.nvapiInitFails);
    EXPECT_EQ(settings.nvapiMissing, back.nvapiMissing) << "interface numbers use all 32 bits";

    const sim::SimSettings defaults = sim::parseSettings("");
    EXPECT_EQ(1, defaults.nvapiGpus);
    EXPECT_FALSE(defaults.nvapiInitFails);
    EXPECT_TRUE(defaults.nvapiMissing.empty());
}

TEST(NvapiSettings, HandWrittenValuesAreKeptWithinTheDriversLimits)
{
    EXPECT_EQ(64, sim::parseSettings("nvapi-gpus=99\n").nvapiGpus);
    EXPECT_EQ(0, sim::parseSettings("nvapi-gpus=-3\n").nvapiGpus);
    EXPECT_EQ(1, sim::parseSettings("nvapi-gpus=two\n").nvapiGpus);
    EXPECT_EQ((std::vector<unsigned>{0x4D7B0709, 0x283AC65A}),
              sim::parseSettings("nvapi-missing = 0x4D7B0709 read 0x283AC65A\n").nvapiMissing);
}
