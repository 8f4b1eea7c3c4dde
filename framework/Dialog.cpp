#include "framework/Dialog.h"

#include "framework/WinApp.h"

void DDX_Control(CDataExchange* exchange, int id, CWnd& control)
{
    if (control.GetSafeHwnd() == nullptr) {
        control.SubclassDlgItem(static_cast<UINT>(id), exchange->m_pDlgWnd);
    }
}

INT_PTR CDialog::DoModal()
{
    return ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                             m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr, &DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        // Arrives from DialogProc only; the system's processing of it is
        // what called us.
        return OnInitDialog();
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDOK) {
            OnOK();
            return 0;
        }
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return 0;
        }
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog()
{
    CDataExchange exchange{this};
    DoDataExchange(&exchange);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    // Everything but WM_INITDIALOG reaches the object through its subclass;
    // FALSE hands the message back to the system's dialog processing.
    if (message != WM_INITDIALOG || CWnd::FromHandle(window) != nullptr) {
        return FALSE;
    }
    auto* self = reinterpret_cast<CDialog*>(lParam);
    if (!self->SubclassWindow(window)) {
        ::EndDialog(window, -1);
        return FALSE;
    }
    try {
        return static_cast<INT_PTR>(
            self->WindowProc(WM_INITDIALOG, reinterpret_cast<WPARAM>(window), lParam));
    } catch (...) {
        ::EndDialog(window, -1);
        return FALSE;
    }
}
