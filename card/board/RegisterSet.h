#pragma once
// The controller register values a card class writes for one mode.
#include <cstdint>

// Written first and last by every set and by the reset.
constexpr int kModeRegister = 23;

struct RegisterSet {
    std::uint8_t register23First; // written before the others
    std::uint8_t registers1To7[7];
    std::uint8_t spare[3];
    std::uint8_t registers17To22[6];
    std::uint8_t register23Last; // written after the others
};
static_assert(sizeof(RegisterSet) == 18, "one byte per value, no padding");
