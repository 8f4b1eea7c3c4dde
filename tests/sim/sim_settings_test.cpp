// The stand-ins' control file: what tests and demos write is what they get.
#include <gtest/gtest.h>

#include "SimSettings.h"

TEST(SimSettings, WhatIsFormattedParsesBackTheSame)
{
    sim::SimSettings settings;
    settings.register25 = {sim::Register25::Kind::Sequence, {3, 7, 5}};
    settings.logPath = L"C:\\temp\\log.txt";
    settings.adapters = std::vector<int>{0, 2};
    settings.zeroIdAdapters = {2};
    settings.failTransactions = true;
    settings.delayMs = 40;
    settings.blockRegister = 25;
    settings.blockMs = 3000;
    settings.frozen = true;
    const sim::SimSettings back = sim::parseSettings(sim::formatSettings(settings));
    EXPECT_EQ(sim::Register25::Kind::Sequence, back.register25.kind);
    EXPECT_EQ((std::vector<int>{3, 7, 5}), back.register25.values);
    EXPECT_EQ(settings.logPath, back.logPath);
    EXPECT_EQ(settings.adapters, back.adapters);
    EXPECT_EQ(settings.zeroIdAdapters, back.zeroIdAdapters);
    EXPECT_TRUE(back.failTransactions);
    EXPECT_EQ(40, back.delayMs);
    EXPECT_EQ(25, back.blockRegister);
    EXPECT_EQ(3000, back.blockMs);
    EXPECT_TRUE(back.frozen);

    // An empty adapter list accepts none, an absent one all.
    settings.adapters = std::vector<int>{};
    EXPECT_EQ(std::vector<int>{}, sim::parseSettings(sim::formatSettings(settings)).adapters);
    EXPECT_FALSE(sim::parseSettings("").adapters.has_value());
    // A block without a time lasts until it is taken out again.
    settings.blockMs = 0;
    EXPECT_EQ(0, sim::parseSettings(sim::formatSettings(settings)).blockMs);
    EXPECT_FALSE(sim::parseSettings("").blockRegister.has_value());
}

TEST(SimSettings, HandWrittenFilesWithSlipsKeepWhatIsSound)
{
    const sim::SimSettings settings = sim::parseSettings("# demo\r\n"
                                                         "register25 = wave 10 300 2000\r\n"
                                                         "delay=soon\n"
                                                         "colour=blue\n"
                                                         "garbage\n");
    EXPECT_EQ(sim::Register25::Kind::Wave, settings.register25.kind);
    EXPECT_EQ(10, settings.register25.low);
    EXPECT_EQ(255, settings.register25.high) << "a byte register";
    EXPECT_EQ(2000, settings.register25.periodMs);
    EXPECT_EQ(0, settings.delayMs);

    EXPECT_EQ((std::vector<int>{0}), sim::parseSettings("register25=sequence\n").register25.values);
    EXPECT_EQ(sim::Register25::Kind::Fixed, sim::parseSettings("register25=wave 1 2 0\n").register25.kind);
}
