#include "app/Autostart.h"

#include "common/UniqueHandle.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD kReadBufferSize = 5001;
constexpr REGSAM kReadWriteAccess = KEY_READ | KEY_WRITE;

} // namespace

std::string ReadRegistryString(HKEY hive, const std::string& key, const std::string& valueName,
                               std::string defaultValue)
{
    UniqueRegistryKey handle;
    if (RegOpenKeyExA(hive, key.c_str(), 0, KEY_QUERY_VALUE, handle.put()) != ERROR_SUCCESS) {
        return defaultValue;
    }
    char buffer[kReadBufferSize] = {};
    DWORD size = kReadBufferSize;
    if (RegQueryValueExA(handle.get(), valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                         &size) != ERROR_SUCCESS) {
        return defaultValue;
    }
    // Data without a terminating NUL must not be read past what was returned.
    const DWORD returned = std::min(size, kReadBufferSize);
    return std::string(buffer, std::find(buffer, buffer + returned, '\0'));
}

void WriteRegistryString(HKEY hive, const std::string& key, const std::string& valueName,
                         const std::string& data)
{
    UniqueRegistryKey handle;
    char noClass[] = "";
    if (RegOpenKeyExA(hive, key.c_str(), 0, KEY_SET_VALUE, handle.put()) != ERROR_SUCCESS &&
        RegCreateKeyExA(hive, key.c_str(), 0, noClass, 0, kReadWriteAccess, nullptr, handle.put(), nullptr) !=
            ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(handle.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
}

bool DeleteRegistryValue(HKEY hive, const std::string& key, const std::string& valueName)
{
    UniqueRegistryKey handle;
    if (RegOpenKeyExA(hive, key.c_str(), 0, KEY_WRITE, handle.put()) != ERROR_SUCCESS) {
        return false;
    }
    return RegDeleteValueA(handle.get(), valueName.c_str()) == ERROR_SUCCESS;
}

void ApplyAutostartChoice(bool yesChecked, bool noChecked)
{
    const std::string current = ReadRegistryString(HKEY_LOCAL_MACHINE, kRunKey, kAutostartValueName, "");
    if (current.empty()) {
        if (yesChecked) {
            WriteRegistryString(HKEY_LOCAL_MACHINE, kRunKey, kAutostartValueName, kLauncherPath);
        }
        return;
    }
    if (noChecked) {
        DeleteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, kAutostartValueName);
    }
}
