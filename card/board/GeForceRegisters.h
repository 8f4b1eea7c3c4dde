#pragma once
// The orders in which the NVIDIA boards take a register set. Unlike the AMD
// boards, registers 1 to 7 go in ascending order, and 17 and 18 before 19 to 22.
#include "card/board/RegisterSet.h"

class Stream;

// Both boards switch off with the same values; only registers 23 and 19 to 22
// of it are written.
inline constexpr RegisterSet kGeForceDisableSet = {
    0x00,
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    0x80,
};

// Fifteen single-byte writes: register 23, registers 1 to 7, 17 to 22, and
// register 23 again.
void writeGeForceFullSet(Stream& stream, const RegisterSet& set);
// Six: register 23, registers 19 to 22, and register 23 again; the others keep
// what they hold.
void writeGeForceShortSet(Stream& stream, const RegisterSet& set);
