#include "card/GeForceRegisters.h"

#include "card/Stream.h"

namespace {

constexpr int kModeRegister = 23;

void writeOne(Stream& stream, int reg, std::uint8_t value)
{
    stream.write(&value, reg, 1);
}

} // namespace

void writeGeForceFullSet(Stream& stream, const RegisterSet& set)
{
    writeOne(stream, kModeRegister, set.register23First);
    for (int reg = 1; reg <= 7; ++reg) {
        writeOne(stream, reg, set.registers1To7[reg - 1]);
    }
    for (int reg = 17; reg <= 22; ++reg) {
        writeOne(stream, reg, set.registers17To22[reg - 17]);
    }
    writeOne(stream, kModeRegister, set.register23Last);
}

void writeGeForceShortSet(Stream& stream, const RegisterSet& set)
{
    writeOne(stream, kModeRegister, set.register23First);
    for (int reg = 19; reg <= 22; ++reg) {
        writeOne(stream, reg, set.registers17To22[reg - 17]);
    }
    writeOne(stream, kModeRegister, set.register23Last);
}
