#include "card/board/N560GTX.h"

#include "card/board/GeForceRegisters.h"
#include "card/driver/NVidiaStream.h"

namespace {

constexpr RegisterSet kEnableSet = {
    0x00,
    {0x88, 0x6E, 0x4E, 0x41, 0x36, 0x28, 0x1F},
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x87, 0x65, 0x43, 0x21},
    0x80,
};

} // namespace

N560GTX::N560GTX() : VideoCardBase(std::make_unique<NVidiaStream>(), kIntervalMs)
{
}

void N560GTX::enable()
{
    switchPollingOn();
    writeGeForceFullSet(stream(), kEnableSet);
}

void N560GTX::disable()
{
    switchPollingOff();
    writeGeForceShortSet(stream(), kGeForceDisableSet);
}
