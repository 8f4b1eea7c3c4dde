// The program's entry point. Built as an object library so that it is linked
// whatever the order of libraries on the linker's command line.
#include "framework/WinApp.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    try {
        app->InitInstance();
    } catch (...) {
        return 1;
    }
    return 0;
}
