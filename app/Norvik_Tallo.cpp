#include "app/Norvik_Tallo.h"

#include "app/Norvik_TalloDlg.h"

#include <commctrl.h>

namespace {
constexpr char kMutexFailureText[] = "Norvik_Tallo mutex can not be created.";
constexpr char kMutexFailureCaption[] = "Norvik_Tallo";
constexpr char kRegistryRoot[] = "Local AppWizard-Generated Applications";
// Every class of the original common controls, from list views to animations.
constexpr DWORD kCommonControlClasses = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                        ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                        ICC_HOTKEY_CLASS | ICC_ANIMATE_CLASS;
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
    controls.dwICC = kCommonControlClasses;
    ::InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    SetRegistryKey(kRegistryRoot);

    CNorvik_TalloDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
