#include "nt_test.h"

#include "common/FileText.h"

#include <shellapi.h>

#include <stdexcept>

namespace nt_test {

namespace {

std::wstring parentOf(const std::wstring& path)
{
    return path.substr(0, path.find_last_of(L'\\'));
}

const wchar_t kDirect3DKey[] = L"Software\\Wine\\Direct3D";

} // namespace

std::wstring moduleDir()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return parentOf(path);
}

// Test programs sit in <build>\tests\bin, benchmarks in <build>\bench\bin,
// the product in <build>\bin; a benchmark measures another build's program
// when NT_PROGRAM_BUILD names it.
std::wstring programBuildDir()
{
    wchar_t other[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"NT_PROGRAM_BUILD", other, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        return other;
    }
    return parentOf(parentOf(moduleDir()));
}

std::wstring productDir()
{
    return programBuildDir() + L"\\bin";
}

std::wstring simDir()
{
    return programBuildDir() + L"\\sim";
}

bool fileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string readFile(const std::wstring& path)
{
    return readFileText(path).value_or("");
}

void copyFileOrThrow(const std::wstring& from, const std::wstring& to)
{
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
        throw std::runtime_error("cannot copy a file, error " + std::to_string(GetLastError()));
    }
}

TempDir::TempDir()
{
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static unsigned serial = 0;
    for (;;) {
        path_ = std::wstring(base) + L"nt-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++serial);
        if (CreateDirectoryW(path_.c_str(), nullptr)) {
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            throw std::runtime_error("cannot create a temporary folder");
        }
    }
}

TempDir::~TempDir()
{
    // SHFileOperation wants a list ending in two NULs.
    std::wstring from = path_ + L'\0';
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
}

ProcessResult runProcess(const std::wstring& commandLine, const std::wstring& workingDir, DWORD timeoutMs)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring line = commandLine; // CreateProcessW may write to it
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &process)) {
        throw std::runtime_error("cannot start a process, error " + std::to_string(GetLastError()));
    }
    ProcessResult result;
    result.finished = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!result.finished) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

double nowMs()
{
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double millisecondsOf(const std::function<void()>& work)
{
    const double start = nowMs();
    work();
    return nowMs() - start;
}

double threadCpuMs(HANDLE thread)
{
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) {
        return 0;
    }
    auto ticks = [](const FILETIME& time) {
        return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0; // 100 ns units
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void pumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pumpMessages();
    }
}

bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        pumpMessages();
    }
    return true;
}

bool waitForFile(const std::wstring& path, DWORD timeoutMs)
{
    return waitUntil([&] { return fileExists(path); }, timeoutMs);
}

std::optional<std::vector<BYTE>> readRegistryValue(HKEY hive, const std::wstring& key,
                                                   const std::wstring& name, DWORD* type)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(hive, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD size = 0;
    DWORD valueType = 0;
    std::optional<std::vector<BYTE>> data;
    if (RegQueryValueExW(handle, name.c_str(), nullptr, &valueType, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> bytes(size);
        if (RegQueryValueExW(handle, name.c_str(), nullptr, &valueType, bytes.data(), &size) ==
            ERROR_SUCCESS) {
            bytes.resize(size);
            data = std::move(bytes);
            if (type != nullptr) {
                *type = valueType;
            }
        }
    }
    RegCloseKey(handle);
    return data;
}

void writeRegistryValue(HKEY hive, const std::wstring& key, const std::wstring& name, DWORD type,
                        const std::optional<std::vector<BYTE>>& data)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(hive, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS) {
        throw std::runtime_error("cannot open a registry key for writing");
    }
    if (data) {
        RegSetValueExW(handle, name.c_str(), 0, type, data->data(), static_cast<DWORD>(data->size()));
    } else {
        RegDeleteValueW(handle, name.c_str());
    }
    RegCloseKey(handle);
}

ScopedRegistryValue::ScopedRegistryValue(HKEY hive, std::wstring key, std::wstring name, DWORD type,
                                         const std::optional<std::vector<BYTE>>& data)
    : hive_(hive), key_(std::move(key)), name_(std::move(name))
{
    oldData_ = readRegistryValue(hive_, key_, name_, &oldType_);
    writeRegistryValue(hive_, key_, name_, type, data);
}

ScopedRegistryValue::~ScopedRegistryValue()
{
    try {
        writeRegistryValue(hive_, key_, name_, oldType_, oldData_);
    } catch (const std::exception&) {
        // Nothing sensible to do in a destructor; the next fixture overwrites it.
    }
}

std::vector<BYTE> ScopedDisplayAdapter::dword(DWORD value)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    return {bytes, bytes + sizeof value};
}

ScopedDisplayAdapter::ScopedDisplayAdapter(DWORD vendorId, DWORD deviceId)
    : vendor_(HKEY_CURRENT_USER, kDirect3DKey, L"VideoPciVendorID", REG_DWORD, dword(vendorId)),
      device_(HKEY_CURRENT_USER, kDirect3DKey, L"VideoPciDeviceID", REG_DWORD, dword(deviceId))
{
}

} // namespace nt_test
