#include "card/driver/DriverLibrary.h"

// The program's folder, System32 and folders added with AddDllDirectory.
#ifndef LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
#define LOAD_LIBRARY_SEARCH_DEFAULT_DIRS 0x00001000
#endif

namespace {

std::string programFolder()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    const std::string file(path, length);
    const auto separator = file.find_last_of('\\');
    return separator == std::string::npos ? std::string() : file.substr(0, separator);
}

std::string systemFolder()
{
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(path, length);
}

} // namespace

HMODULE loadDriverLibrary(const char* fileName)
{
    return loadDriverLibrary(fileName, &LoadLibraryExA, driverLibraryFolders());
}

HMODULE loadDriverLibrary(const char* fileName, LoadLibraryFunction load,
                          const std::vector<std::string>& fallbackFolders)
{
    const HMODULE library = load(fileName, nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    // Windows 7 without update KB2533623 refuses the flag; any other failure
    // means there is no such library where we look.
    if (library != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) {
        return library;
    }
    for (const std::string& folder : fallbackFolders) {
        if (folder.empty()) {
            continue;
        }
        // A full path loads that file or nothing; the library's own imports
        // are then looked for beside it first.
        const std::string path = folder + '\\' + fileName;
        if (const HMODULE found = load(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) {
            return found;
        }
    }
    return nullptr;
}

std::vector<std::string> driverLibraryFolders()
{
    return {programFolder(), systemFolder()};
}
