#include "app/Norvik_Tallo.h"

#include "app/Norvik_TalloDlg.h"

#include <commctrl.h>

namespace {
constexpr char kMutexFailureText[] = "Norvik_Tallo mutex can not be created.";
constexpr char kMutexFailureCaption[] = "Norvik_Tallo";
constexpr char kRegistryRoot[] = "Local AppWizard-Generated Applications";
} // namespace

CNorvik_TalloApp theApp;

BOOL CNorvik_TalloApp::InitInstance()
{
    // Another instance in this session: end silently, leaving it as it is.
    m_hMutex.reset(::OpenMutexA(0, FALSE, kMutexName));
    if (m_hMutex) {
        return FALSE;
    }
    m_hMutex.reset(::CreateMutexA(nullptr, TRUE, kMutexName));
    if (!m_hMutex) {
        ::MessageBoxA(nullptr, kMutexFailureText, kMutexFailureCaption, MB_OK);
        return FALSE;
    }
    // Another instance created it between the two calls.
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        return FALSE;
    }

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    SetRegistryKey(kRegistryRoot);

    CNorvik_TalloDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
