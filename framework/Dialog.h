#pragma once
// Modal dialogs from a template resource. The dialog's window is bound like
// any other CWnd once it exists (at WM_INITDIALOG), so its messages pass
// through WindowProc and unhandled ones reach the system's dialog processing.
#include "framework/Wnd.h"

class CDialog;

// The control binding step of a dialog's initialisation.
struct CDataExchange {
    CDialog* m_pDlgWnd; // not owned
};

// Binds a dialog item to its member by subclassing; a member already bound
// stays as it is.
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nIDTemplate(templateId), m_pParentWnd(parent)
    {
    }

    // Runs the dialog until EndDialog; returns its result, or -1 when the
    // dialog could not be created.
    virtual INT_PTR DoModal();
    BOOL EndDialog(int result) { return ::EndDialog(m_hWnd, result); }
    UINT TemplateId() const { return m_nIDTemplate; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Binds the controls (DoDataExchange); TRUE lets the system set the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange*) {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd; // not owned
};
