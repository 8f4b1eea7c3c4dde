// BootStartNorvik_Tallo: the program the autostart value points to. It hides
// its console and asks the shell to start Norvik_Tallo.exe from its own folder;
// going through the shell lets the main program's elevation request be honoured.
#include <windows.h>
#include <shellapi.h>

#include "launcher/launch_path.h"

int wmain()
{
    ShowWindow(GetConsoleWindow(), SW_HIDE);

    wchar_t path[kLaunchPathCapacity] = {};
    const DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), path, kLaunchPathCapacity);
    if (makeMainProgramPath(path, length)) {
        ShellExecuteW(nullptr, L"open", path, nullptr, nullptr, SW_SHOW);
    }
    return 0;
}
