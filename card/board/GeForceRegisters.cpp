#include "card/board/GeForceRegisters.h"

#include "card/driver/Stream.h"

void writeGeForceFullSet(Stream& stream, const RegisterSet& set)
{
    writeRegister(stream, kModeRegister, set.register23First);
    for (int reg = 1; reg <= 7; ++reg) {
        writeRegister(stream, reg, set.registers1To7[reg - 1]);
    }
    for (int reg = 17; reg <= 22; ++reg) {
        writeRegister(stream, reg, set.registers17To22[reg - 17]);
    }
    writeRegister(stream, kModeRegister, set.register23Last);
}

void writeGeForceShortSet(Stream& stream, const RegisterSet& set)
{
    writeRegister(stream, kModeRegister, set.register23First);
    for (int reg = 19; reg <= 22; ++reg) {
        writeRegister(stream, reg, set.registers17To22[reg - 17]);
    }
    writeRegister(stream, kModeRegister, set.register23Last);
}
