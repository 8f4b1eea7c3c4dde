#pragma once
// Helpers that tests and benchmarks share: the build's folders, scratch
// folders, child processes, timing and polling, and prefix state (registry
// values, the reported display adapter).
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace nt_test {

// Folder of the running test program, with no trailing backslash.
std::wstring moduleDir();
// The build folder whose program and stand-ins are used: this test program's
// own, or the one the variable NT_PROGRAM_BUILD names (a benchmark comparing
// two builds).
std::wstring programBuildDir();
// Folder holding Norvik_Tallo.exe and BootStartNorvik_Tallo.exe.
std::wstring productDir();
// Folder holding the stand-in driver libraries.
std::wstring simDir();

bool fileExists(const std::wstring& path);
// Empty when the file cannot be read.
std::string readFile(const std::wstring& path);
void copyFileOrThrow(const std::wstring& from, const std::wstring& to);

// A fresh folder under the temporary folder, removed with all it holds.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

struct ProcessResult {
    bool finished = false; // false: still running at the time-out, then killed
    DWORD exitCode = 0;
};

// Runs a command line in a folder (empty: this process's current folder) and
// waits for it to end.
ProcessResult runProcess(const std::wstring& commandLine, const std::wstring& workingDir, DWORD timeoutMs);

// Milliseconds on the high-resolution counter, for timing spans.
double nowMs();
double millisecondsOf(const std::function<void()>& work);
// CPU time, kernel and user, that a thread has used; 0 when it can't be read.
double threadCpuMs(HANDLE thread);

// Polls the condition every pollMs until it holds; false when it still fails
// after timeoutMs.
template <typename Condition>
bool waitUntil(Condition condition, DWORD timeoutMs = 10000, DWORD pollMs = 20)
{
    const double deadline = nowMs() + timeoutMs;
    while (!condition()) {
        if (nowMs() >= deadline) {
            return false;
        }
        Sleep(pollMs);
    }
    return true;
}

// Handles whatever this thread has queued, sent messages included.
void pumpMessages();
// Handles this thread's messages for the given time.
void pumpFor(DWORD milliseconds);
// Handles them until the condition holds or the time is up; returns the condition.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Polls until the file exists or the time is up.
bool waitForFile(const std::wstring& path, DWORD timeoutMs);

// Sets a registry value for the lifetime of the object and then puts back
// what was there before (including its absence).
class ScopedRegistryValue {
public:
    // data == nullopt deletes the value for the lifetime of the object.
    ScopedRegistryValue(HKEY hive, std::wstring key, std::wstring name, DWORD type,
                        const std::optional<std::vector<BYTE>>& data);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

private:
    HKEY hive_;
    std::wstring key_;
    std::wstring name_;
    DWORD oldType_ = 0;
    std::optional<std::vector<BYTE>> oldData_;
};

std::optional<std::vector<BYTE>> readRegistryValue(HKEY hive, const std::wstring& key,
                                                   const std::wstring& name, DWORD* type = nullptr);
void writeRegistryValue(HKEY hive, const std::wstring& key, const std::wstring& name, DWORD type,
                        const std::optional<std::vector<BYTE>>& data);

// Makes the platform report the display adapter with these PCI ids to
// programs started from now on (see the table in the platform notes).
class ScopedDisplayAdapter {
public:
    ScopedDisplayAdapter(DWORD vendorId, DWORD deviceId);

private:
    static std::vector<BYTE> dword(DWORD value);
    ScopedRegistryValue vendor_;
    ScopedRegistryValue device_;
};

} // namespace nt_test
