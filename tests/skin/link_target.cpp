// Stands in for whatever a label's link opens: leaves "opened.txt" in its
// own folder.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH]{};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string mark(path, length);
    mark.erase(mark.find_last_of('\\') + 1);
    mark += "opened.txt";
    const HANDLE file = ::CreateFileA(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(file);
    return 0;
}
