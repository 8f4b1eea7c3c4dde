#pragma once
// The application object. The program defines exactly one global instance;
// the framework's WinMain runs its InitInstance.
#include <windows.h>

#include <string>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs the program. The program's modal dialog is its whole message
    // loop, so the framework runs none of its own afterwards.
    virtual BOOL InitInstance() { return TRUE; }

    // Stores the registry root for per-application settings; nothing is
    // written there unless the program writes settings itself.
    void SetRegistryKey(const char* key) { m_registryKey = key != nullptr ? key : ""; }

    CWnd* m_pMainWnd = nullptr; // not owned: the program's main window, while it exists
    std::string m_registryKey;
};

CWinApp* AfxGetApp();
// The application object's main window, or null.
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// Where bitmaps, menus, icons and dialog templates are loaded from.
HINSTANCE AfxGetResourceHandle();
// The executable's file name without folder and extension; the caption of
// the program's message boxes.
const char* AfxGetAppName();
