// Stand-in for NVIDIA's nvapi.dll: nvapi_QueryInterface and the operations the
// NVIDIA stream asks it for, on the simulated voltage controller. Every call
// is logged with the fields it received.
#include <windows.h>

#include "VoltageController.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr std::uint32_t kInitializeInterface = 0x0150E828;
constexpr std::uint32_t kEnumPhysicalGpusInterface = 0xE5AC921F;
constexpr std::uint32_t kGpuRecordInterface = 0x1EA54A3B;
constexpr std::uint32_t kI2CReadInterface = 0x4D7B0709;
constexpr std::uint32_t kI2CWriteInterface = 0x283AC65A;

// The driver's status codes that the stand-in gives.
constexpr int kOk = 0;
constexpr int kError = -1;
constexpr int kNotInitialized = -4;
constexpr int kInvalidArgument = -5;
constexpr int kDeviceNotFound = -6;
constexpr int kIncompatibleStructVersion = -9;
constexpr int kExpectedPhysicalGpuHandle = -101;

constexpr int kMaxGpus = 64;
// Far from null and from small numbers, so a caller passing a count or an
// index for a handle shows.
constexpr std::uintptr_t kFirstGpuHandle = 0x4E560100;
constexpr std::uintptr_t kGpuHandleStep = 0x100;

// The I2C record as the driver defines it, declared here on its own rather than
// shared with the program, so a layout slip on either side shows in the log.
// 32 bytes in a 32-bit process; a 64-bit one takes the natural layout.
struct I2CRecord {
    std::uint32_t version;
    std::uint32_t displayMask;
    std::uint8_t isDdcPort;
    std::uint8_t deviceAddress;
    const std::uint8_t* registerAddress;
    std::uint32_t registerAddressSize;
    unsigned char* data;
    std::uint32_t dataSize;
    std::uint32_t speed;
};
static_assert(sizeof(void*) != 4 || sizeof(I2CRecord) == 32, "the 32-bit driver's layout");
constexpr std::uint32_t kI2CRecordVersion = sizeof(I2CRecord) | 1u << 16;

constexpr std::size_t kGpuRecordSize = 10868;
constexpr std::uint32_t kGpuRecordVersion = kGpuRecordSize | 1u << 16;
// What the first query (number -1) leaves in the record's second word.
constexpr std::uint32_t kGpuRecordEntries = 3;

std::atomic<bool> initialized{false};

template <typename Field>
Field fieldAt(const void* record, std::size_t offset)
{
    Field value;
    std::memcpy(&value, static_cast<const unsigned char*>(record) + offset, sizeof value);
    return value;
}

// A handle as the log prints it, whole on either pointer size.
unsigned long long handleNumber(const void* gpu)
{
    return static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(gpu));
}

bool enumerated(const sim::SimSettings& settings, const void* gpu)
{
    const std::uintptr_t value = reinterpret_cast<std::uintptr_t>(gpu);
    const std::uintptr_t last =
        kFirstGpuHandle + kGpuHandleStep * static_cast<std::uintptr_t>(settings.nvapiGpus);
    return value >= kFirstGpuHandle && value < last && (value - kFirstGpuHandle) % kGpuHandleStep == 0;
}

// The status every GPU operation gives before it looks at its record.
int gpuStatus(const sim::SimSettings& settings, const void* gpu, const void* record)
{
    if (!initialized) {
        return kNotInitialized;
    }
    if (!enumerated(settings, gpu)) {
        return kExpectedPhysicalGpuHandle;
    }
    return record != nullptr ? kOk : kInvalidArgument;
}

int __cdecl initialize()
{
    auto& controller = sim::VoltageController::instance();
    const sim::SimSettings settings = controller.refresh();
    const int result = settings.nvapiInitFails ? kError : kOk;
    initialized = result == kOk;
    controller.log(settings, sim::logLine("Initialize result=%d", result));
    return result;
}

int __cdecl enumPhysicalGpus(void** handles, std::uint32_t* count)
{
    auto& controller = sim::VoltageController::instance();
    const sim::SimSettings settings = controller.refresh();
    const int gpus = std::clamp(settings.nvapiGpus, 0, kMaxGpus);
    int result = kOk;
    if (!initialized) {
        result = kNotInitialized;
    } else if (handles == nullptr || count == nullptr) {
        result = kInvalidArgument;
    } else {
        for (int i = 0; i < gpus; ++i) {
            handles[i] =
                reinterpret_cast<void*>(kFirstGpuHandle + kGpuHandleStep * static_cast<std::uintptr_t>(i));
        }
        *count = static_cast<std::uint32_t>(gpus);
        result = gpus > 0 ? kOk : kDeviceNotFound;
    }
    controller.log(settings,
                   sim::logLine("EnumPhysicalGPUs gpus=%d first=0x%08llX result=%d", result == kOk ? gpus : 0,
                                result == kOk ? handleNumber(handles[0]) : 0ull, result));
    return result;
}

// Number of bytes past the first two words that are not zero.
int dirtyBytes(const void* record)
{
    const auto* bytes = static_cast<const unsigned char*>(record);
    return static_cast<int>(
        std::count_if(bytes + 8, bytes + kGpuRecordSize, [](unsigned char b) { return b != 0; }));
}

int __cdecl gpuRecord(void* gpu, int number, void* record)
{
    auto& controller = sim::VoltageController::instance();
    const sim::SimSettings settings = controller.refresh();
    int result = gpuStatus(settings, gpu, record);
    const std::uint32_t version = record != nullptr ? fieldAt<std::uint32_t>(record, 0) : 0;
    const std::uint32_t second = record != nullptr ? fieldAt<std::uint32_t>(record, 4) : 0;
    const int dirty = record != nullptr && version == kGpuRecordVersion ? dirtyBytes(record) : -1;
    if (result == kOk && version != kGpuRecordVersion) {
        result = kIncompatibleStructVersion;
    }
    if (result == kOk && number == -1) {
        std::memcpy(static_cast<unsigned char*>(record) + 4, &kGpuRecordEntries, sizeof kGpuRecordEntries);
    }
    controller.log(
        settings, sim::logLine("GpuRecord gpu=0x%08llX number=%d version=0x%08X second=%u dirty=%d result=%d",
                               handleNumber(gpu), number, version, second, dirty, result));
    return result;
}

int transact(const char* name, bool write, void* gpu, const void* record, const std::uint32_t* unknown)
{
    auto& controller = sim::VoltageController::instance();
    const sim::SimSettings settings = controller.refresh();
    int result = gpuStatus(settings, gpu, record);
    if (result != kOk) {
        controller.log(settings, sim::logLine("%s gpu=0x%08llX result=%d", name, handleNumber(gpu), result));
        return result;
    }
    I2CRecord fields;
    std::memcpy(&fields, record, sizeof fields);
    const std::uint32_t version = fields.version;
    const std::uint32_t mask = fields.displayMask;
    const std::uint8_t ddc = fields.isDdcPort;
    const std::uint8_t address = fields.deviceAddress;
    const std::uint8_t* reg = fields.registerAddress;
    const std::uint32_t regSize = fields.registerAddressSize;
    unsigned char* data = fields.data;
    const std::uint32_t size = fields.dataSize;
    const std::uint32_t speed = fields.speed;
    if (version != kI2CRecordVersion) {
        result = kIncompatibleStructVersion;
    } else if (reg == nullptr || regSize != 1 || unknown == nullptr || size > 256) {
        result = kInvalidArgument;
    } else if (ddc != 0 ||
               !controller.transfer(settings, address, *reg, write, data, static_cast<int>(size))) {
        // Only the board's own bus, not a display's, reaches the controller.
        result = kError;
    }
    const int value = data != nullptr && size > 0 && result == kOk ? data[0] : -1;
    controller.log(
        settings,
        sim::logLine("%s gpu=0x%08llX version=0x%08X mask=%u ddc=%u address=0x%02X register=%d regsize=%u "
                     "size=%u speed=%u unknown=%d value=%d result=%d",
                     name, handleNumber(gpu), version, mask, ddc, address, reg != nullptr ? *reg : -1,
                     regSize, size, speed, unknown != nullptr ? static_cast<int>(*unknown) : -1, value,
                     result));
    return result;
}

int __cdecl i2cRead(void* gpu, void* record, std::uint32_t* unknown)
{
    return transact("I2CRead", false, gpu, record, unknown);
}

int __cdecl i2cWrite(void* gpu, void* record, std::uint32_t* unknown)
{
    return transact("I2CWrite", true, gpu, record, unknown);
}

void* provided(std::uint32_t interfaceNumber)
{
    switch (interfaceNumber) {
    case kInitializeInterface:
        return reinterpret_cast<void*>(&initialize);
    case kEnumPhysicalGpusInterface:
        return reinterpret_cast<void*>(&enumPhysicalGpus);
    case kGpuRecordInterface:
        return reinterpret_cast<void*>(&gpuRecord);
    case kI2CReadInterface:
        return reinterpret_cast<void*>(&i2cRead);
    case kI2CWriteInterface:
        return reinterpret_cast<void*>(&i2cWrite);
    default:
        return nullptr;
    }
}

} // namespace

extern "C" void* __cdecl nvapi_QueryInterface(std::uint32_t interfaceNumber)
{
    auto& controller = sim::VoltageController::instance();
    const sim::SimSettings settings = controller.refresh();
    const bool withheld = std::find(settings.nvapiMissing.begin(), settings.nvapiMissing.end(),
                                    interfaceNumber) != settings.nvapiMissing.end();
    void* function = withheld ? nullptr : provided(interfaceNumber);
    controller.log(settings, sim::logLine("QueryInterface id=0x%08X found=%d", interfaceNumber,
                                          function != nullptr ? 1 : 0));
    return function;
}
