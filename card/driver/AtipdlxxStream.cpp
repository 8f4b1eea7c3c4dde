#include "card/driver/AtipdlxxStream.h"

#include "card/driver/DisplayDevices.h"
#include "card/driver/DriverLibrary.h"

#include <stdexcept>

namespace {

constexpr int kActionRead = 1;
constexpr int kActionWrite = 2;

template <typename Function>
Function lookUp(HMODULE library, const char* name)
{
    // Through void*: GetProcAddress's own type fits no real signature.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

} // namespace

AtipdlxxStream::AtipdlxxStream() : AtipdlxxStream(SystemDisplayDevices{})
{
}

AtipdlxxStream::AtipdlxxStream(const DisplayDevices& devices)
{
    bindLibrary();
    findAdapter(devices);
    if (adapterNumber_ == -1) {
        throw std::runtime_error("Could not find any ATI adapters in the system!");
    }
}

void AtipdlxxStream::bindLibrary()
{
    library_.reset(loadDriverLibrary("atipdlxx.dll"));
    if (!library_) {
        throw std::runtime_error("Unable to load atipdlxx.dll!");
    }
    getAdapterId_ = lookUp<GetAdapterIdFunction>(library_.get(), "ATIDL_GetAdapterID");
    getWriteAndReadI2CRev_ = GetProcAddress(library_.get(), "ATIDL_GetWriteAndReadI2CRev");
    writeAndReadI2C_ = lookUp<WriteAndReadI2CFunction>(library_.get(), "ATIDL_WriteAndReadI2C");
    if (getAdapterId_ == nullptr || getWriteAndReadI2CRev_ == nullptr || writeAndReadI2C_ == nullptr) {
        throw std::runtime_error("Could not find function ATIDL_xxxx!");
    }
}

void AtipdlxxStream::findAdapter(const DisplayDevices& devices)
{
    DISPLAY_DEVICEA device = {};
    device.cb = sizeof device;
    int id = 0;
    for (DWORD index = 0; devices.find(index, device); ++index) {
        if ((device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) {
            continue;
        }
        // Only a test that the device can be opened; the library never sees it.
        UniqueCreatedDC dc = devices.open(device);
        if (!dc) {
            continue;
        }
        const int result = getAdapterId_(static_cast<int>(index), &id);
        if (result >= 0 && id != 0) {
            adapterNumber_ = static_cast<int>(index);
            return;
        }
    }
}

int AtipdlxxStream::read(unsigned char* buffer, int reg, int count)
{
    return transact(buffer, reg, count, kActionRead);
}

int AtipdlxxStream::write(const unsigned char* buffer, int reg, int count)
{
    // The library takes one record type for both directions; it does not write to a write's data.
    return transact(const_cast<unsigned char*>(buffer), reg, count, kActionWrite);
}

int AtipdlxxStream::transact(unsigned char* buffer, int reg, int count, int action)
{
    DriverMutexLock hold(streamMutex_);
    I2CRequest request = {sizeof(I2CRequest), kLine, deviceAddress_, reg, action, kSpeed, count, buffer};
    const CallWatch::Call call(calls_);
    const int result = writeAndReadI2C_(adapterNumber_, &request);
    return result >= 0 ? request.dataSize : count;
}
