#pragma once
// An owner-drawn button whose face is a bitmap chosen by its state, keeping
// its own check state: a push button, a lamp (check box) or one of a group of
// exclusive switches (radio button), by the style of the dialog item it is
// bound to. BM_SETCHECK and BM_GETCHECK talk to that state, from any thread.
#include "framework/Controls.h"
#include "framework/Gdi.h"

// Sent by a checked radio button to the others of its dialog group.
inline constexpr UINT WM_SKINBUTTON_UNCHECK = WM_USER + 0x100;

class CxSkinButton : public CButton {
public:
    CxSkinButton() = default;

    // Bitmap resource ids; hover 0 means none, disabled 0 means the normal
    // picture. A face that does not load stays empty (a flat fill instead).
    void LoadSkinFaces(int normalId, int downId, int hoverId, int disabledId);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* item) override;

private:
    enum Kind : int { kPushButton = 0, kCheckBox = 2, kRadioButton = 4 };

    LRESULT OnLButtonDown(WPARAM keys, LPARAM point);
    LRESULT OnLButtonDblClk(WPARAM keys, LPARAM point);
    LRESULT OnLButtonUp(WPARAM keys, LPARAM point);
    LRESULT OnMouseMove(WPARAM keys, LPARAM point);
    LRESULT OnMouseLeave();
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM key, LPARAM flags);
    LRESULT OnSetCheck(WPARAM check);
    LRESULT OnUncheck();
    void UncheckRestOfGroup(HWND parent) const;

    bool IsUnderScreenPoint(POINT clientPoint) const;
    bool IsPushed();
    // True when the pushed look was out of step and a new drawing is coming.
    bool ResyncPushedLook();
    void DrawFace(HDC dc, const RECT& item, const CSelectedBitmap& face) const;
    void DrawLabel(HDC dc, RECT area, COLORREF color) const;

    bool m_bChecked = false;
    int m_kind = kPushButton;
    bool m_bHover = false;
    bool m_bPressed = false;
    // Each kept selected, ready for the copy of a paint.
    CSelectedBitmap m_bmpNormal;
    CSelectedBitmap m_bmpDown;
    CSelectedBitmap m_bmpDisabled;
    CSelectedBitmap m_bmpHover;
    COLORREF m_textColor = ::GetSysColor(COLOR_BTNTEXT);
};
