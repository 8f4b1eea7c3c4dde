#include "framework/WinApp.h"

namespace {

CWinApp* theApp = nullptr; // not owned: the program's one global instance

std::string fileTitleOfModule()
{
    char path[MAX_PATH]{};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length < MAX_PATH ? length : 0);
    const auto slash = name.find_last_of("\\/");
    if (slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

} // namespace

CWinApp::CWinApp()
{
    theApp = this;
}

CWinApp::~CWinApp()
{
    if (theApp == this) {
        theApp = nullptr;
    }
}

CWinApp* AfxGetApp()
{
    return theApp;
}

CWnd* AfxGetMainWnd()
{
    return theApp != nullptr ? theApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

const char* AfxGetAppName()
{
    static const std::string name = fileTitleOfModule();
    return name.c_str();
}
