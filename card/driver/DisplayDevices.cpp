#include "card/driver/DisplayDevices.h"

bool SystemDisplayDevices::find(DWORD index, DISPLAY_DEVICEA& device) const
{
    return EnumDisplayDevicesA(nullptr, index, &device, 0) != FALSE;
}

UniqueCreatedDC SystemDisplayDevices::open(const DISPLAY_DEVICEA& device) const
{
    return UniqueCreatedDC(CreateDCA(nullptr, device.DeviceName, nullptr, nullptr));
}
