#pragma once
// The system's button and static controls, bound to dialog items.
#include "framework/Wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int check) { ::SendMessageA(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(check), 0); }

protected:
    // Owner-drawn buttons draw themselves: the parent reflects WM_DRAWITEM.
    virtual void DrawItem(DRAWITEMSTRUCT* item);
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class CStatic : public CWnd {};
