#include "card/board/RadeonHD6870.h"

#include "card/board/RadeonRegisters.h"
#include "card/driver/AtipdlxxStream.h"

namespace {

constexpr RegisterSet kEnableSet = {
    0x00,
    {0x7E, 0x68, 0x4F, 0x46, 0x34, 0x23, 0x0E},
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x87, 0x65, 0x43, 0x21},
    0x80,
};

// Keeps registers 1 to 7 as the enable set has them.
constexpr RegisterSet kDisableSet = {
    0x00,
    {0x7E, 0x68, 0x4F, 0x46, 0x34, 0x23, 0x0E},
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    0x80,
};

} // namespace

RadeonHD6870::RadeonHD6870() : VideoCardBase(std::make_unique<AtipdlxxStream>(), kIntervalMs)
{
}

void RadeonHD6870::enable()
{
    switchPollingOn();
    writeInRadeonOrder(stream(), kEnableSet);
}

void RadeonHD6870::disable()
{
    switchPollingOff();
    writeInRadeonOrder(stream(), kDisableSet);
}
