#pragma once
// The display devices the ATI stream looks through for its adapter. The
// system's list in the product; a test may offer its own.
#include "common/UniqueHandle.h"

class DisplayDevices {
public:
    virtual ~DisplayDevices() = default;
    // Fills device with number index of the whole desktop; false when there
    // is no such device.
    virtual bool find(DWORD index, DISPLAY_DEVICEA& device) const = 0;
    // A device context for the device, or none when it cannot be opened.
    virtual UniqueCreatedDC open(const DISPLAY_DEVICEA& device) const = 0;
};

class SystemDisplayDevices : public DisplayDevices {
public:
    bool find(DWORD index, DISPLAY_DEVICEA& device) const override;
    UniqueCreatedDC open(const DISPLAY_DEVICEA& device) const override;
};
