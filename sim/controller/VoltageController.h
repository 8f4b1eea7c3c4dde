#pragma once
// The simulated voltage controller behind the stand-in driver libraries: a
// register file, register 25 driven by the scenario in the control file, and
// the log of every call. One per loaded stand-in library.
#include "SimSettings.h"
#include "common/UniqueHandle.h"

#include <windows.h>

#include <mutex>
#include <string>

namespace sim {

class VoltageController {
public:
    static VoltageController& instance();

    // The settings in force, for the call under way. A test or demo can change
    // the scenario while a program runs: the control file is read again
    // whenever its write time or size differs from the last reading, and while
    // its write time is too recent to tell two writes apart.
    SimSettings refresh();

    // One I2C transfer of size bytes from or to registers reg, reg + 1, ….
    // False, with data untouched, when nothing answers at the address, the
    // request is malformed, or the scenario makes transactions fail. Takes the
    // scenario's delay first, and blocks first when the scenario says so.
    bool transfer(const SimSettings& settings, int address, int reg, bool write, unsigned char* data,
                  int size);

    // Appends "<line> time=<microseconds>" to the log the settings name, in
    // one write that readers see at once. Lines of several threads keep the
    // order of their times.
    void log(const SimSettings& settings, const std::string& line);

private:
    // What the settings in force were read from.
    struct ControlStamp {
        std::wstring path;
        ULONGLONG writeTime = 0;
        ULONGLONG size = 0;
        // Old enough that a later write gets another write time.
        bool settled = false;
    };

    VoltageController() = default;
    bool isCurrent(const ControlStamp& stamp);
    void adopt(std::string text, const ControlStamp& stamp);
    unsigned char readRegister(const SimSettings& settings, int reg);
    void blockIfAsked(const SimSettings& settings, int reg);
    HANDLE openLog(const std::wstring& path);

    std::mutex mutex_;
    ControlStamp stamp_;
    std::string controlText_;
    SimSettings settings_;
    // Kept open between lines while the settings name it.
    UniqueFileHandle logFile_;
    std::wstring logPath_;
    std::size_t sequenceIndex_ = 0;
    // The block of the settings in force has been served.
    bool blockServed_ = false;
    unsigned char registers_[256] = {};
};

// A log line from a printf pattern; longer lines are cut at 511 characters.
std::string logLine(const char* pattern, ...);

} // namespace sim
