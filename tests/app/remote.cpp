// Presses the running Norvik_Tallo's buttons from outside, for the demo:
//   remote wait        waits until the main window is shown
//   remote click ID    clicks the control with that identifier
#include <windows.h>

#include "program_windows.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND waitForMainWindow(DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    HWND window = nullptr;
    while ((window = nt_test::findTopLevelWindow(nt_test::isShownMainWindow)) == nullptr) {
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
