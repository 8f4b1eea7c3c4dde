#include "card/driver/NVidiaStream.h"

#include <vector>

namespace {

constexpr std::uint32_t kSpeed = 40;

// One byte from or to one byte-wide register of the voltage controller.
nvapi::I2CRequest controllerRequest(std::uint8_t* reg, std::uint8_t* data)
{
    nvapi::I2CRequest request = {};
    request.version = nvapi::kI2CRequestVersion;
    request.displayMask = 0;
    request.isDdcPort = 0; // the controller sits on the board's own bus, not a display's
    request.deviceAddress = NVidiaStream::kControllerAddress;
    request.registerAddress = reg;
    request.registerAddressSize = 1;
    request.data = data;
    request.dataSize = 1;
    request.speed = kSpeed;
    return request;
}

} // namespace

NVidiaStream::NVidiaStream()
{
    // A missing driver shows as failing transactions, not here.
    nvapi::initialize();
    std::uint32_t count = 0;
    nvapi::enumPhysicalGpus(gpuHandles_, &count);
    prepareGpu();
}

void NVidiaStream::prepareGpu()
{
    static_assert(nvapi::kGpuRecordSize % sizeof(std::uint32_t) == 0, "whole words");
    std::vector<std::uint32_t> record(nvapi::kGpuRecordSize / sizeof(std::uint32_t));
    record[0] = nvapi::kGpuRecordVersion;
    nvapi::queryGpuRecord(gpuHandles_[0], -1, record.data());
    // Unsigned arithmetic: a word of 0 asks for -1 again rather than overflowing.
    nvapi::queryGpuRecord(gpuHandles_[0], static_cast<int>(record[1] - 1u), record.data());
}

int NVidiaStream::read(unsigned char* buffer, int reg, int)
{
    std::uint8_t registerByte = static_cast<std::uint8_t>(reg);
    nvapi::I2CRequest transaction = controllerRequest(&registerByte, buffer);
    std::uint32_t one = 1;
    const CallWatch::Call call(calls_);
    nvapi::i2cRead(gpuHandles_[0], &transaction, &one);
    return 0;
}

int NVidiaStream::write(const unsigned char* buffer, int reg, int)
{
    // Copies: the driver's record points to writable bytes.
    std::uint8_t registerByte = static_cast<std::uint8_t>(reg);
    std::uint8_t value = buffer[0];
    nvapi::I2CRequest transaction = controllerRequest(&registerByte, &value);
    std::uint32_t one = 1;
    const CallWatch::Call call(calls_);
    return nvapi::i2cWrite(gpuHandles_[0], &transaction, &one);
}
