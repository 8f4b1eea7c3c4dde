// Stands in for Norvik_Tallo.exe in the launcher's tests: it leaves a file
// beside itself naming the folder it was started in, then ends.
#include <windows.h>

#include <string>

int wmain()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring mark(self);
    mark = mark.substr(0, mark.find_last_of(L'\\')) + L"\\started.txt";

    wchar_t cwd[MAX_PATH] = {};
    const DWORD cwdLength = GetCurrentDirectoryW(MAX_PATH, cwd);

    HANDLE file = CreateFileW(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    WriteFile(file, cwd, cwdLength * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
    return 0;
}
