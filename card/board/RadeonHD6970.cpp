#include "card/board/RadeonHD6970.h"

#include "card/board/RadeonRegisters.h"
#include "card/driver/AtipdlxxStream.h"

namespace {

constexpr RegisterSet kEnableSet = {
    0x00,
    {0x51, 0x51, 0x4A, 0x44, 0x3B, 0x2A, 0x20},
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x77, 0x65, 0x43, 0x21},
    0x80,
};

constexpr RegisterSet kDisableSet = {
    0x00,
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0x77, 0x77, 0x77, 0x77},
    0x80,
};

} // namespace

RadeonHD6970::RadeonHD6970() : VideoCardBase(std::make_unique<AtipdlxxStream>(), kIntervalMs)
{
}

void RadeonHD6970::enable()
{
    switchPollingOn();
    writeInRadeonOrder(stream(), kEnableSet);
}

void RadeonHD6970::disable()
{
    switchPollingOff();
    writeInRadeonOrder(stream(), kDisableSet);
}

void RadeonHD6970::reset()
{
    VideoCardBase::reset();
    disable();
}
