#pragma once
// The stand-in nvapi.dll in process. The driver is initialised once per
// process, so its folder is on the library search for the whole test program
// (set up before any test runs); runs without it happen in nv_probe.
#include "SimControl.h"
#include "nt_test.h"

#include <string>
#include <utility>
#include <vector>

namespace card_test {

// A control file and log of its own for the NVIDIA stand-in.
class NvapiStandIn {
public:
    NvapiStandIn() : control_(dir_.path()) {}

    sim::SimControl& control() { return control_; }
    // The logged writes as register and value.
    std::vector<std::pair<int, int>> writes();
    // The logged entries of one call, e.g. "I2CRead".
    std::vector<sim::LogEntry> calls(const std::string& function) { return control_.log(function); }

private:
    nt_test::TempDir dir_;
    sim::SimControl control_;
};

} // namespace card_test
