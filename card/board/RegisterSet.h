#pragma once
// The controller register values a card writes for one mode, and the orders
// in which the boards take them.
#include <cstdint>
#include <span>

class Stream;

// Written first and last by every set and by the reset.
constexpr int kModeRegister = 23;

struct RegisterSet {
    std::uint8_t register23First; // written before the others
    std::uint8_t registers1To7[7];
    std::uint8_t spare[3];
    std::uint8_t registers17To22[6];
    std::uint8_t register23Last; // written after the others

    // The value of a register of the set; register 23 has two, the last one
    // written after all the others.
    constexpr std::uint8_t valueOf(int reg, bool last) const
    {
        if (reg == kModeRegister) {
            return last ? register23Last : register23First;
        }
        return reg <= 7 ? registers1To7[reg - 1] : registers17To22[reg - 17];
    }
};
static_assert(sizeof(RegisterSet) == 18, "one byte per value, no padding");

// Write orders, as register numbers. The AMD boards: 7 down to 1, and 19 to 22
// before 17 and 18.
inline constexpr int kRadeonOrder[] = {23, 7, 6, 5, 4, 3, 2, 1, 19, 20, 21, 22, 17, 18, 23};
// The NVIDIA boards: 1 to 7 ascending, and 17 and 18 before 19 to 22; the
// short order leaves the others with what they hold.
inline constexpr int kGeForceFullOrder[] = {23, 1, 2, 3, 4, 5, 6, 7, 17, 18, 19, 20, 21, 22, 23};
inline constexpr int kGeForceShortOrder[] = {23, 19, 20, 21, 22, 23};

// One single-byte write per register of the order, with no pause.
void writeRegisterSet(Stream& stream, const RegisterSet& set, std::span<const int> order);
