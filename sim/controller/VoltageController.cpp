#include "VoltageController.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <utility>

namespace sim {

namespace {

constexpr std::size_t kMaxControlBytes = 64 * 1024;
// How often a blocked transaction looks whether it has been released.
constexpr DWORD kBlockReleaseCheckMs = 20;

// No variable: empty text, the defaults. False when the file cannot be read just now.
bool readControlText(std::string& text)
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(kControlVariable, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        text.clear();
        return true;
    }
    // Share everything: the writer replaces the file while stand-ins read it.
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::string content;
    char chunk[4096];
    DWORD got = 0;
    while (content.size() < kMaxControlBytes && ReadFile(file, chunk, sizeof chunk, &got, nullptr) &&
           got > 0) {
        content.append(chunk, got);
    }
    CloseHandle(file);
    text = std::move(content);
    return true;
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
    std::string text;
    const bool read = readControlText(text);
    std::lock_guard<std::mutex> hold(mutex_);
    // A file being replaced keeps the settings in force.
    if (read && text != controlText_) {
        controlText_ = std::move(text);
        settings_ = parseSettings(controlText_);
        sequenceIndex_ = 0;
        blockServed_ = false;
    }
    return settings_;
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
    const std::string entry = line + " time=" + std::to_string(microseconds()) + "\n";
    std::lock_guard<std::mutex> hold(mutex_);
    HANDLE file =
        CreateFileW(settings.logPath.c_str(), FILE_APPEND_DATA,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
    CloseHandle(file);
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
