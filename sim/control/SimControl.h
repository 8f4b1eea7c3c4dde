#pragma once
// The driving side of the stand-in driver libraries, for tests, benchmarks
// and demo drivers: writes the control file and reads the log back.
#include "SimSettings.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace sim {

// One logged call: "<function> name=value …", values as integers.
struct LogEntry {
    std::string function;
    std::vector<std::pair<std::string, long long>> fields;

    // The field's value, or `missing` when the entry has no such field.
    long long field(const std::string& name, long long missing = -1) const;
};

std::vector<LogEntry> parseLog(const std::string& text);

// Settings with register 25 fixed at one value, the rest at their defaults.
SimSettings withRegister25(int value);

class SimControl {
public:
    // Keeps the control file and the log in folder and names the control file
    // in this process's environment, so that stand-ins loaded here and
    // programs started from here follow it. The defaults apply until apply().
    explicit SimControl(const std::wstring& folder);
    // Removes the variable again.
    ~SimControl();
    SimControl(const SimControl&) = delete;
    SimControl& operator=(const SimControl&) = delete;

    // Replaces the control file in one step; stand-ins see it at their next
    // call. An empty log path means the log in the folder, unless logCalls is
    // false (a benchmark that wants the stand-in's calls cheap).
    void apply(SimSettings settings, bool logCalls = true);
    // Returns once stand-ins look only at the control file's time and size
    // again, as they do while nobody changes it: a benchmark measures them so.
    void settle() const;

    std::vector<LogEntry> log() const;
    // Empties the log in place: stand-ins keep it open and append at its end,
    // so a log deleted under a loaded stand-in would not start afresh.
    void clearLog() const;
    // Only the entries of one function.
    std::vector<LogEntry> log(const std::string& function) const;

    const std::wstring& controlPath() const { return controlPath_; }
    const std::wstring& logPath() const { return logPath_; }

private:
    std::wstring controlPath_;
    std::wstring logPath_;
    ULONGLONG appliedAt_ = 0;
};

} // namespace sim
