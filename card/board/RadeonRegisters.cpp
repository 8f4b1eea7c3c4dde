#include "card/board/RadeonRegisters.h"

#include "card/driver/Stream.h"

void writeInRadeonOrder(Stream& stream, const RegisterSet& set)
{
    writeRegister(stream, kModeRegister, set.register23First);
    for (int reg = 7; reg >= 1; --reg) {
        writeRegister(stream, reg, set.registers1To7[reg - 1]);
    }
    for (int reg = 19; reg <= 22; ++reg) {
        writeRegister(stream, reg, set.registers17To22[reg - 17]);
    }
    writeRegister(stream, 17, set.registers17To22[0]);
    writeRegister(stream, 18, set.registers17To22[1]);
    writeRegister(stream, kModeRegister, set.register23Last);
}
