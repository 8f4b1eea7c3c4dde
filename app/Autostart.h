#pragma once
// The autostart setting: one REG_SZ value in the machine-wide Run key whose
// data is the fixed path of the boot launcher. Registry failures are silent.
#include <windows.h>

#include <string>

inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kAutostartValueName[] = "Norvik_Tallo";
inline constexpr char kLauncherPath[] =
    "C:\\Program Files\\Norvik\\VGA\\Norvik_Tallo\\BootStartNorvik_Tallo.exe";

// The value's text up to its first NUL, or defaultValue when it can't be read
// (missing, or longer than the 5001-byte buffer). The type is not tested.
std::string ReadRegistryString(HKEY hive, const std::string& key, const std::string& valueName,
                               std::string defaultValue);

// Writes data and its terminating NUL as REG_SZ, creating the key if needed.
void WriteRegistryString(HKEY hive, const std::string& key, const std::string& valueName,
                         const std::string& data);

// True when the value was deleted. The key stays.
bool DeleteRegistryValue(HKEY hive, const std::string& key, const std::string& valueName);

// Apply's autostart step: writes the value when there is none (or it is
// empty) and "Yes" is checked; deletes it when there is one and "No" is
// checked; anything else leaves the registry as it is.
void ApplyAutostartChoice(bool yesChecked, bool noChecked);
