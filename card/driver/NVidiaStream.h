#pragma once
// The register stream of NVIDIA boards: I2C transactions through NVIDIA's
// driver interface, on the first GPU the driver enumerates.
#include "card/driver/Nvapi.h"
#include "card/driver/Stream.h"

#include <cstdint>

class NVidiaStream : public Stream {
public:
    // Never fails visibly: without the driver or a GPU every transaction
    // fails, which reads and writes do not report.
    NVidiaStream();
    // The driver stays loaded and initialised: other streams of the process may still use it.
    ~NVidiaStream() override = default;

    // One byte, whatever count says; returns 0. A failed read leaves the buffer as it was.
    int read(unsigned char* buffer, int reg, int count) override;
    // The first byte of the buffer, whatever count says.
    int write(const unsigned char* buffer, int reg, int count) override;

    static constexpr std::uint8_t kControllerAddress = 0x8C;

private:
    // The driver needs these two queries before the first I2C transaction.
    void prepareGpu();

    // Only entry 0, the first GPU enumerated, is ever addressed.
    nvapi::PhysicalGpuHandle gpuHandles_[nvapi::kMaxPhysicalGpus] = {};
};
