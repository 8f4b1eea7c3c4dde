#include "SimControl.h"

#include "common/FileText.h"
#include "common/UniqueHandle.h"

#include <windows.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace sim {

namespace {

void writeWholeFile(const std::wstring& path, const std::string& text)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot write the simulation's control file");
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != text.size()) {
        throw std::runtime_error("cannot write the simulation's control file");
    }
}

} // namespace

long long LogEntry::field(const std::string& name, long long missing) const
{
    for (const auto& [key, value] : fields) {
        if (key == name) {
            return value;
        }
    }
    return missing;
}

std::vector<LogEntry> parseLog(const std::string& text)
{
    std::vector<LogEntry> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        LogEntry entry;
        if (!(words >> entry.function)) {
            continue;
        }
        std::string word;
        while (words >> word) {
            const auto equals = word.find('=');
            if (equals != std::string::npos) {
                entry.fields.emplace_back(word.substr(0, equals),
                                          std::strtoll(word.c_str() + equals + 1, nullptr, 0));
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

SimSettings withRegister25(int value)
{
    SimSettings settings;
    settings.register25.values = {value};
    return settings;
}

SimControl::SimControl(const std::wstring& folder)
    : controlPath_(folder + L"\\sim-control.txt"), logPath_(folder + L"\\sim-log.txt")
{
    apply(SimSettings{});
    SetEnvironmentVariableW(kControlVariable, controlPath_.c_str());
}

SimControl::~SimControl()
{
    SetEnvironmentVariableW(kControlVariable, nullptr);
}

void SimControl::apply(SimSettings settings, bool logCalls)
{
    if (settings.logPath.empty() && logCalls) {
        settings.logPath = logPath_;
    }
    const std::wstring staged = controlPath_ + L".new";
    writeWholeFile(staged, formatSettings(settings));
    // A reader may hold the old file open for a moment.
    for (int attempt = 0; !MoveFileExW(staged.c_str(), controlPath_.c_str(), MOVEFILE_REPLACE_EXISTING);
         ++attempt) {
        if (attempt == 50) {
            throw std::runtime_error("cannot replace the simulation's control file");
        }
        Sleep(10);
    }
    appliedAt_ = GetTickCount64();
}

void SimControl::settle() const
{
    // Past the grain by a margin for the tick count's own coarseness.
    const ULONGLONG settled = appliedAt_ + kControlWriteGrainMs + 100;
    const ULONGLONG now = GetTickCount64();
    if (now < settled) {
        Sleep(static_cast<DWORD>(settled - now));
    }
}

std::vector<LogEntry> SimControl::log() const
{
    return parseLog(readFileText(logPath_).value_or(""));
}

void SimControl::clearLog() const
{
    const UniqueFileHandle file(CreateFileW(logPath_.c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_ALWAYS, 0, nullptr));
    if (!file || !SetEndOfFile(file.get())) {
        throw std::runtime_error("cannot empty the simulation's log");
    }
}

std::vector<LogEntry> SimControl::log(const std::string& function) const
{
    std::vector<LogEntry> entries = log();
    std::erase_if(entries, [&](const LogEntry& entry) { return entry.function != function; });
    return entries;
}

} // namespace sim
