#include "card/board/N580GTX.h"

#include "card/board/GeForceRegisters.h"
#include "card/driver/NVidiaStream.h"

namespace {

constexpr RegisterSet kEnableSet = {
    0x00,
    {0x41, 0x36, 0x2C, 0x22, 0x19, 0x10, 0x0A},
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0xCA, 0x87, 0x65, 0x42},
    0x80,
};

} // namespace

N580GTX::N580GTX() : VideoCardBase(std::make_unique<NVidiaStream>(), kIntervalMs)
{
}

void N580GTX::enable()
{
    switchPollingOn();
    if (firstEnable_ != 0) {
        writeGeForceFullSet(stream(), kEnableSet);
        // Cleared even if those writes failed: nothing is read back.
        firstEnable_ = 0;
    } else {
        writeGeForceShortSet(stream(), kEnableSet);
    }
}

void N580GTX::disable()
{
    switchPollingOff();
    writeGeForceShortSet(stream(), kGeForceDisableSet);
}

void N580GTX::reset()
{
    VideoCardBase::reset();
    firstEnable_ = 1;
}
