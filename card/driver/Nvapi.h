#pragma once
// Our binding of NVIDIA's driver interface. nvapi.dll exports a single
// function, nvapi_QueryInterface, that hands out every other operation by its
// interface number. The library is loaded and initialised once per process, on
// first use, and stays loaded for the process's life.
#include <cstddef>
#include <cstdint>

namespace nvapi {

// Zero is success; every failure is negative.
using Status = int;
constexpr Status kOk = 0;
constexpr Status kLibraryNotFound = -2;
constexpr Status kNoImplementation = -3;

struct PhysicalGpu; // the driver's, opaque
using PhysicalGpuHandle = PhysicalGpu*;
constexpr int kMaxPhysicalGpus = 64;

// One I2C transaction, as the driver reads it.
struct I2CRequest {
    std::uint32_t version;
    std::uint32_t displayMask;
    std::uint8_t isDdcPort;
    std::uint8_t deviceAddress;
    std::uint8_t* registerAddress;
    std::uint32_t registerAddressSize;
    std::uint8_t* data;
    std::uint32_t dataSize;
    std::uint32_t speed;
};
// The 32-bit driver's layout; a 64-bit build (tests only) takes the natural
// layout of the same declaration, as a 64-bit driver would.
static_assert(sizeof(void*) != 4 ||
                  (sizeof(I2CRequest) == 32 && offsetof(I2CRequest, deviceAddress) == 9 &&
                   offsetof(I2CRequest, registerAddress) == 12 && offsetof(I2CRequest, speed) == 28),
              "the driver's layout");

// Record versions carry the record's size in the low 16 bits, the version above.
constexpr std::uint32_t recordVersion(std::size_t size, std::uint32_t version)
{
    return static_cast<std::uint32_t>(size) | version << 16;
}
constexpr std::uint32_t kI2CRequestVersion = recordVersion(sizeof(I2CRequest), 1);
constexpr std::size_t kGpuRecordSize = 10868;
constexpr std::uint32_t kGpuRecordVersion = recordVersion(kGpuRecordSize, 1);

// The outcome of loading and initialising; the first call does the work, later
// ones return the same outcome at once. Safe from any thread.
Status initialize();

// When initialisation failed or the driver lacks the operation, each of these
// returns a negative status and touches nothing.
Status enumPhysicalGpus(PhysicalGpuHandle (&handles)[kMaxPhysicalGpus], std::uint32_t* count);
// A query the driver is given twice before I2C traffic; we use nothing it returns.
Status queryGpuRecord(PhysicalGpuHandle gpu, int number, void* record);
// What the third argument means to the driver is not known; it must point to 1.
Status i2cRead(PhysicalGpuHandle gpu, I2CRequest* request, std::uint32_t* unknown);
Status i2cWrite(PhysicalGpuHandle gpu, I2CRequest* request, std::uint32_t* unknown);

} // namespace nvapi
