#pragma once
// The register channel to a card's voltage controller. Callers address
// registers by number and never see the bus behind it.
#include "threading/CallWatch.h"

#include <cstdint>

class Stream {
public:
    virtual ~Stream() = default;

    // Both return a count no caller relies on; every caller moves one byte.
    virtual int read(unsigned char* buffer, int reg, int count) = 0;
    virtual int write(const unsigned char* buffer, int reg, int count) = 0;

    // The driver calls under way on this stream: waits for the card read it
    // to tell a slow bus from a stuck one.
    const CallWatch& calls() const noexcept { return calls_; }

protected:
    Stream() = default;
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // Each call into the driver is marked here for its span.
    CallWatch calls_;
};

// Every register write of the controller's tables is one byte to one register.
inline void writeRegister(Stream& stream, int reg, std::uint8_t value)
{
    stream.write(&value, reg, 1);
}
