#pragma once
// The register stream of AMD boards: I2C transactions through the AMD display
// driver's library atipdlxx.dll.
#include "card/driver/Stream.h"
#include "common/UniqueHandle.h"
#include "threading/DriverMutex.h"

class DisplayDevices;

class AtipdlxxStream : public Stream {
public:
    // Load the library, bind its functions and find the adapter; each failure
    // throws std::runtime_error with the message the user is shown.
    AtipdlxxStream();
    explicit AtipdlxxStream(const DisplayDevices& devices);

    int read(unsigned char* buffer, int reg, int count) override;
    int write(const unsigned char* buffer, int reg, int count) override;

    // The display-device enumeration index of the adapter in use.
    int adapterNumber() const noexcept { return adapterNumber_; }

    static constexpr unsigned char kControllerAddress = 0x8C;
    // How long a transaction waits for another one under way.
    static constexpr DWORD kTransactionWaitMs = 1000;

    // The library's request record: seven ints and a pointer (32 bytes in the
    // 32-bit library; a 64-bit build, tests only, takes the natural layout).
    struct I2CRequest {
        int recordSize;
        int line;
        int deviceAddress;
        int offset;
        int action;
        int speed;
        int dataSize;
        unsigned char* data;
    };
    static_assert(sizeof(void*) != 4 || sizeof(I2CRequest) == 32, "the 32-bit library's layout");
    using WriteAndReadI2CFunction = int(__cdecl*)(int adapter, I2CRequest* request);
    // The controller's bus and speed in every request.
    static constexpr int kLine = 1;
    static constexpr int kSpeed = 75;

private:
    using GetAdapterIdFunction = int(__cdecl*)(int displayIndex, int* id);

    void bindLibrary();
    void findAdapter(const DisplayDevices& devices);
    int transact(unsigned char* buffer, int reg, int count, int action);

    UniqueLibrary library_;
    GetAdapterIdFunction getAdapterId_ = nullptr;
    FARPROC getWriteAndReadI2CRev_ = nullptr; // must exist; never called
    WriteAndReadI2CFunction writeAndReadI2C_ = nullptr;
    int adapterNumber_ = -1;
    unsigned char deviceAddress_ = kControllerAddress;
    DriverMutex streamMutex_{calls_, kTransactionWaitMs};
};
