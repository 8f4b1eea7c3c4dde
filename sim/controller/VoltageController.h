#pragma once
// The simulated voltage controller behind the stand-in driver libraries: a
// register file, register 25 driven by the scenario in the control file, and
// the log of every call. One per loaded stand-in library.
#include "SimSettings.h"

#include <mutex>
#include <string>

namespace sim {

class VoltageController {
public:
    static VoltageController& instance();

    // The control file is read again on every call, so a test or demo can
    // change the scenario while a program runs.
    SimSettings refresh();

    // One I2C transfer of size bytes from or to registers reg, reg + 1, ….
    // False, with data untouched, when nothing answers at the address, the
    // request is malformed, or the scenario makes transactions fail. Takes the
    // scenario's delay first, and blocks first when the scenario says so.
    bool transfer(const SimSettings& settings, int address, int reg, bool write, unsigned char* data,
                  int size);

    // Appends "<line> time=<microseconds>" to the log the settings name.
    void log(const SimSettings& settings, const std::string& line);

private:
    VoltageController() = default;
    unsigned char readRegister(const SimSettings& settings, int reg);
    void blockIfAsked(const SimSettings& settings, int reg);

    std::mutex mutex_;
    std::string controlText_;
    SimSettings settings_;
    std::size_t sequenceIndex_ = 0;
    // The block of the settings in force has been served.
    bool blockServed_ = false;
    unsigned char registers_[256] = {};
};

// A log line from a printf pattern; longer lines are cut at 511 characters.
std::string logLine(const char* pattern, ...);

} // namespace sim
