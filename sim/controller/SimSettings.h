#pragma once
// What the stand-in driver libraries simulate, as set in the control file that
// the environment variable NT_SIM_CONTROL names. The file holds one key=value
// per line; sim/README.md lists the keys.
#include <optional>
#include <string>
#include <vector>

namespace sim {

constexpr wchar_t kControlVariable[] = L"NT_SIM_CONTROL";
// The voltage controller answers at this I2C address only.
constexpr int kControllerAddress = 0x8C;
constexpr int kReadingRegister = 25;
// The coarsest write times a file system keeps (FAT: 2 s), with a margin: for
// this long after a write, stand-ins read the control file at every call,
// since a second write may carry the same time.
constexpr unsigned kControlWriteGrainMs = 3000;

struct Register25 {
    enum class Kind { Fixed, Sequence, Wave };
    Kind kind = Kind::Fixed;
    // Fixed: the first value. Sequence: one value per read, over and over.
    std::vector<int> values = {0};
    // Wave: a triangle from low to high and back in periodMs.
    int low = 0;
    int high = 255;
    int periodMs = 4000;
};

struct SimSettings {
    Register25 register25;
    // Every call is appended here; empty: no log.
    std::wstring logPath;
    // Display indexes the adapter query accepts; none given: all of them.
    std::optional<std::vector<int>> adapters;
    // Accepted display indexes whose query reports adapter id 0.
    std::vector<int> zeroIdAdapters;
    // I2C transactions return a negative result and move no data.
    bool failTransactions = false;
    // Milliseconds each I2C transaction takes.
    int delayMs = 0;
    // A driver call that hangs: the first I2C transaction on this register
    // after the setting appears blocks, for blockMs, or with 0 until the
    // setting leaves the control file (for good if it never does).
    std::optional<int> blockRegister;
    int blockMs = 0;
    // NVIDIA stand-in: the physical GPUs it enumerates (0 to 64), whether its
    // initialise call fails, and the interface numbers it does not provide.
    int nvapiGpus = 1;
    bool nvapiInitFails = false;
    std::vector<unsigned> nvapiMissing;
    // The settings first read are kept for the rest of the process and the
    // control file is not looked at again: a benchmark measuring the program
    // alone wants its stand-in at no cost.
    bool frozen = false;
};

// Lines it does not understand are skipped; values are limited to a byte
// where the controller holds a byte.
SimSettings parseSettings(const std::string& text);
std::string formatSettings(const SimSettings& settings);

} // namespace sim
