#include "VoltageController.h"

#include "common/FileText.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <utility>

namespace sim {

namespace {

constexpr std::size_t kMaxControlBytes = 64 * 1024;
// How often a blocked transaction looks whether it has been released.
constexpr DWORD kBlockReleaseCheckMs = 20;
// In the 100 ns units of file times.
constexpr ULONGLONG kWriteTimeGrain = kControlWriteGrainMs * 10000ULL;

ULONGLONG ticksOf(const FILETIME& time)
{
    return static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

ULONGLONG systemTime()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return ticksOf(now);
}

// The file named by the variable; empty without one.
std::wstring controlPath()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(kControlVariable, path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(path, length);
}

long long microseconds()
{
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart / frequency.QuadPart * 1000000 +
           now.QuadPart % frequency.QuadPart * 1000000 / frequency.QuadPart;
}

int triangle(const Register25& wave)
{
    const auto phase = static_cast<long long>(GetTickCount64() % static_cast<ULONGLONG>(wave.periodMs));
    const long long half = wave.periodMs / 2 > 0 ? wave.periodMs / 2 : 1;
    const long long rising = phase < half ? phase : wave.periodMs - phase;
    return static_cast<int>(wave.low + (wave.high - wave.low) * std::min(rising, half) / half);
}

} // namespace

VoltageController& VoltageController::instance()
{
    static VoltageController controller;
    return controller;
}

SimSettings VoltageController::refresh()
{
    {
        std::lock_guard<std::mutex> hold(mutex_);
        if (settings_.frozen) {
            return settings_;
        }
    }
    ControlStamp stamp{controlPath()};
    if (stamp.path.empty()) {
        stamp.settled = true;
        if (!isCurrent(stamp)) {
            adopt({}, stamp);
        }
        std::lock_guard<std::mutex> hold(mutex_);
        return settings_;
    }
    // Taken before the file is looked at: a write after this moment gets a
    // later write time once the one seen is a grain old.
    const ULONGLONG now = systemTime();
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    // A file being replaced keeps the settings in force.
    if (GetFileAttributesExW(stamp.path.c_str(), GetFileExInfoStandard, &attributes)) {
        stamp.writeTime = ticksOf(attributes.ftLastWriteTime);
        stamp.size = static_cast<ULONGLONG>(attributes.nFileSizeHigh) << 32 | attributes.nFileSizeLow;
        stamp.settled = now > stamp.writeTime && now - stamp.writeTime > kWriteTimeGrain;
        if (!isCurrent(stamp)) {
            if (std::optional<std::string> text = readFileText(stamp.path, kMaxControlBytes)) {
                adopt(std::move(*text), stamp);
            }
        }
    }
    std::lock_guard<std::mutex> hold(mutex_);
    return settings_;
}

bool VoltageController::isCurrent(const ControlStamp& stamp)
{
    std::lock_guard<std::mutex> hold(mutex_);
    return stamp_.settled && stamp_.path == stamp.path && stamp_.writeTime == stamp.writeTime &&
           stamp_.size == stamp.size;
}

void VoltageController::adopt(std::string text, const ControlStamp& stamp)
{
    std::lock_guard<std::mutex> hold(mutex_);
    stamp_ = stamp;
    if (text == controlText_) {
        return;
    }
    controlText_ = std::move(text);
    settings_ = parseSettings(controlText_);
    sequenceIndex_ = 0;
    blockServed_ = false;
    if (settings_.logPath != logPath_) {
        logFile_.reset();
    }
}

bool VoltageController::transfer(const SimSettings& settings, int address, int reg, bool write,
                                 unsigned char* data, int size)
{
    if (settings.delayMs > 0) {
        Sleep(static_cast<DWORD>(settings.delayMs));
    }
    blockIfAsked(settings, reg);
    if (settings.failTransactions || address != kControllerAddress || data == nullptr || size < 1 ||
        reg < 0 || reg + size > 256) {
        return false;
    }
    std::lock_guard<std::mutex> hold(mutex_);
    for (int i = 0; i < size; ++i) {
        if (write) {
            registers_[reg + i] = data[i];
        } else {
            data[i] = readRegister(settings, reg + i);
        }
    }
    return true;
}

void VoltageController::blockIfAsked(const SimSettings& settings, int reg)
{
    if (settings.blockRegister != reg) {
        return;
    }
    {
        std::lock_guard<std::mutex> hold(mutex_);
        if (std::exchange(blockServed_, true)) {
            return;
        }
    }
    log(settings, logLine("Block register=%d ms=%d", reg, settings.blockMs));
    if (settings.blockMs > 0) {
        Sleep(static_cast<DWORD>(settings.blockMs));
        return;
    }
    while (refresh().blockRegister == reg) {
        Sleep(kBlockReleaseCheckMs);
    }
}

unsigned char VoltageController::readRegister(const SimSettings& settings, int reg)
{
    if (reg != kReadingRegister) {
        return registers_[reg];
    }
    const Register25& scenario = settings.register25;
    switch (scenario.kind) {
    case Register25::Kind::Sequence:
        return static_cast<unsigned char>(scenario.values[sequenceIndex_++ % scenario.values.size()]);
    case Register25::Kind::Wave:
        return static_cast<unsigned char>(triangle(scenario));
    case Register25::Kind::Fixed:
        break;
    }
    return static_cast<unsigned char>(scenario.values.empty() ? 0 : scenario.values[0]);
}

void VoltageController::log(const SimSettings& settings, const std::string& line)
{
    if (settings.logPath.empty()) {
        return;
    }
    std::lock_guard<std::mutex> hold(mutex_);
    // Timed under the lock, so that the order of the lines is that of their times.
    const std::string entry = line + " time=" + std::to_string(microseconds()) + "\n";
    const HANDLE file = openLog(settings.logPath);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
    }
}

HANDLE VoltageController::openLog(const std::wstring& path)
{
    if (logFile_ && path == logPath_) {
        return logFile_.get();
    }
    // Append-only access: every write lands at the end, also when several
    // processes share the log.
    logFile_.reset();
    logFile_.reset(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               0, nullptr));
    logPath_ = path;
    return logFile_.get();
}

std::string logLine(const char* pattern, ...)
{
    char line[512];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(line, sizeof line, pattern, args);
    va_end(args);
    return line;
}

} // namespace sim
