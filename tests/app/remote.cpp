// Presses the running Norvik_Tallo's buttons from outside, for the demo:
//   remote wait        waits until the main window is shown
//   remote click ID    clicks the control with that identifier
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kOnButtonId = 1043;

BOOL CALLBACK matchMainWindow(HWND window, LPARAM found)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0 && GetDlgItem(window, kOnButtonId) != nullptr &&
        IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND waitForMainWindow(DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    HWND window = nullptr;
    while (EnumWindows(matchMainWindow, reinterpret_cast<LPARAM>(&window)), window == nullptr) {
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(100);
    }
    return window;
}

} // namespace

int main(int argc, char** argv)
{
    HWND window = waitForMainWindow(30000);
    if (window == nullptr) {
        std::fputs("remote: Norvik_Tallo's window did not show\n", stderr);
        return 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "click") == 0) {
        SendMessageTimeoutA(GetDlgItem(window, std::atoi(argv[2])), BM_CLICK, 0, 0, SMTO_NORMAL, 10000,
                            nullptr);
    }
    return 0;
}
