#pragma once
// Loads a vendor's driver library (atipdlxx.dll, nvapi.dll) so that nobody can
// plant one: the program runs elevated.
#include <windows.h>

#include <string>
#include <vector>

// From the program's own folder or the system folder, never from the current
// folder or PATH, where anyone could put a library of that name. Null when
// there is none.
HMODULE loadDriverLibrary(const char* fileName);

// The seam behind it: how a library is loaded (LoadLibraryExA in the program),
// and the folders tried in turn by full path where the system knows no search
// flags (Windows 7 without update KB2533623).
using LoadLibraryFunction = HMODULE(WINAPI*)(LPCSTR fileName, HANDLE reserved, DWORD flags);
HMODULE loadDriverLibrary(const char* fileName, LoadLibraryFunction load,
                          const std::vector<std::string>& fallbackFolders);

// The program's folder, then the system folder.
std::vector<std::string> driverLibraryFolders();
