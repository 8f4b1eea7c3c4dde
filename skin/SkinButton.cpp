#include "skin/SkinButton.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

// The kind is told by bits of the button type: both bits of BS_AUTOCHECKBOX
// make a check box, else both bits of BS_AUTORADIOBUTTON a radio button.
constexpr DWORD kCheckBoxBits = BS_AUTOCHECKBOX;
constexpr DWORD kRadioButtonBits = BS_AUTORADIOBUTTON;
constexpr UINT kTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

POINT pointOf(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void fillWithButtonFace(HDC dc, const RECT& area)
{
    if (area.right > area.left && area.bottom > area.top) {
        ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    }
}

} // namespace

void CxSkinButton::LoadSkinFaces(int normalId, int downId, int hoverId, int disabledId)
{
    m_bmpNormal.DeleteObject();
    m_bmpDown.DeleteObject();
    m_bmpHover.DeleteObject();
    m_bmpDisabled.DeleteObject();

    m_bmpNormal.LoadBitmap(static_cast<UINT>(normalId));
    m_bmpDown.LoadBitmap(static_cast<UINT>(downId));
    if (hoverId > 0) {
        m_bmpHover.LoadBitmap(static_cast<UINT>(hoverId));
    }
    m_bmpDisabled.LoadBitmap(static_cast<UINT>(disabledId > 0 ? disabledId : normalId));
}

void CxSkinButton::PreSubclassWindow()
{
    const DWORD style = GetStyle();
    const DWORD type = style & BS_TYPEMASK;
    if ((type & kCheckBoxBits) == kCheckBoxBits) {
        m_kind = kCheckBox;
    } else if ((type & kRadioButtonBits) == kRadioButtonBits) {
        m_kind = kRadioButton;
    } else {
        m_kind = kPushButton;
    }
    // Owner-drawn: the system neither draws the button nor keeps a check
    // state of its own for it.
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(style | BS_OWNERDRAW));
}

LRESULT CxSkinButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return TRUE; // the face covers the whole button
    case WM_LBUTTONDOWN:
        return OnLButtonDown(wParam, lParam);
    case WM_LBUTTONDBLCLK:
        return OnLButtonDblClk(wParam, lParam);
    case WM_LBUTTONUP:
        return OnLButtonUp(wParam, lParam);
    case WM_MOUSEMOVE:
        return OnMouseMove(wParam, lParam);
    case WM_MOUSELEAVE:
        return OnMouseLeave();
    case WM_KILLFOCUS:
        return OnKillFocus(wParam, lParam);
    case WM_KEYDOWN:
        return OnKeyDown(wParam, lParam);
    case BM_SETCHECK:
        return OnSetCheck(wParam);
    case BM_GETCHECK:
        return m_bChecked ? BST_CHECKED : BST_UNCHECKED;
    case WM_SKINBUTTON_UNCHECK:
        return OnUncheck();
    default:
        return CButton::WindowProc(message, wParam, lParam);
    }
}

LRESULT CxSkinButton::OnLButtonDown(WPARAM keys, LPARAM point)
{
    if (m_bHover) {
        TRACKMOUSEEVENT cancel{sizeof cancel, TME_CANCEL | TME_LEAVE, m_hWnd, 0};
        if (::_TrackMouseEvent(&cancel)) {
            m_bHover = false;
        }
    }
    // The system takes the capture and shows the button pushed.
    const LRESULT result = CButton::WindowProc(WM_LBUTTONDOWN, keys, point);
    m_bPressed = true;
    return result;
}

LRESULT CxSkinButton::OnLButtonDblClk(WPARAM keys, LPARAM point)
{
    // The second press of a double click counts as a press, so a double
    // click on a check box toggles it twice.
    SendMessage(WM_LBUTTONDOWN, keys, point);
    return 0;
}

LRESULT CxSkinButton::OnLButtonUp(WPARAM keys, LPARAM point)
{
    // A release away from the button changes nothing.
    if (m_kind != kPushButton && IsUnderScreenPoint(pointOf(point))) {
        SendMessage(BM_SETCHECK, m_kind == kCheckBox ? !m_bChecked : TRUE);
    }
    m_bPressed = false;
    return CButton::WindowProc(WM_LBUTTONUP, keys, point);
}

LRESULT CxSkinButton::OnMouseMove(WPARAM keys, LPARAM point)
{
    if (m_bPressed && ::GetCapture() == m_hWnd) {
        // The pushed look follows the cursor in and out while held.
        const bool inside = IsUnderScreenPoint(pointOf(point));
        if (inside != IsPushed()) {
            SendMessage(BM_SETSTATE, inside);
            Invalidate();
        }
    } else if (!m_bHover) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
        if (::_TrackMouseEvent(&track)) {
            m_bHover = true;
            Invalidate();
        }
    }
    return CButton::WindowProc(WM_MOUSEMOVE, keys, point);
}

LRESULT CxSkinButton::OnMouseLeave()
{
    m_bHover = false;
    Invalidate();
    return 0;
}

LRESULT CxSkinButton::OnKillFocus(WPARAM wParam, LPARAM lParam)
{
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
        m_bPressed = false;
    }
    return CButton::WindowProc(WM_KILLFOCUS, wParam, lParam);
}

LRESULT CxSkinButton::OnKeyDown(WPARAM key, LPARAM flags)
{
    if (m_kind != kPushButton && key == VK_SPACE) {
        SendMessage(BM_SETCHECK, m_kind == kCheckBox ? !m_bChecked : TRUE);
    }
    return CButton::WindowProc(WM_KEYDOWN, key, flags);
}

LRESULT CxSkinButton::OnSetCheck(WPARAM check)
{
    const bool wasChecked = m_bChecked;
    m_bChecked = check != 0 && m_kind != kPushButton;
    const HWND parent = ::GetParent(m_hWnd);
    if (m_kind == kRadioButton && m_bChecked && parent != nullptr) {
        UncheckRestOfGroup(parent);
    }
    // Of the face, only the check state is this message's: unchanged, the face
    // on the screen is already right. The lamps are sent their whole row again
    // and again, mostly unchanged, and each paint costs the window's thread.
    if (m_bChecked != wasChecked) {
        Invalidate();
    }
    return 0;
}

void CxSkinButton::UncheckRestOfGroup(HWND parent) const
{
    // The system's walk skips hidden and disabled items, so from a button that
    // is one of them it never comes back here: it ends where it came round.
    std::vector<HWND> visited;
    for (HWND other = ::GetNextDlgGroupItem(parent, m_hWnd, FALSE);
         other != nullptr && other != m_hWnd &&
         std::find(visited.begin(), visited.end(), other) == visited.end();
         other = ::GetNextDlgGroupItem(parent, other, FALSE)) {
        visited.push_back(other);
        ::SendMessageA(other, WM_SKINBUTTON_UNCHECK, 0, 0);
    }
}

LRESULT CxSkinButton::OnUncheck()
{
    if (m_bChecked) {
        m_bChecked = false;
        Invalidate();
    }
    return 0;
}

bool CxSkinButton::IsUnderScreenPoint(POINT clientPoint) const
{
    POINT screen = clientPoint;
    ::ClientToScreen(m_hWnd, &screen);
    return ::WindowFromPoint(screen) == m_hWnd;
}

bool CxSkinButton::IsPushed()
{
    return (SendMessage(BM_GETSTATE) & BST_PUSHED) != 0;
}

bool CxSkinButton::ResyncPushedLook()
{
    POINT cursor{};
    if (!m_bPressed || ::GetCapture() != m_hWnd || !::GetCursorPos(&cursor)) {
        return false;
    }
    const bool overThis = ::WindowFromPoint(cursor) == m_hWnd;
    if (overThis == IsPushed()) {
        return false;
    }
    SendMessage(BM_SETSTATE, overThis);
    return true;
}

void CxSkinButton::DrawItem(DRAWITEMSTRUCT* item)
{
    if (ResyncPushedLook()) {
        return; // the changed state brings its own drawing
    }
    const HDC dc = item->hDC;
    const RECT& area = item->rcItem;
    RECT textArea = area;
    textArea.left += 2;
    textArea.right -= 2;
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);

    if (item->itemState & ODS_DISABLED) {
        DrawFace(dc, area, m_bmpDisabled);
        DrawLabel(dc, textArea, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        ::OffsetRect(&textArea, -1, -1);
        DrawLabel(dc, textArea, ::GetSysColor(COLOR_GRAYTEXT));
    } else if ((item->itemState & ODS_SELECTED) || m_bChecked) {
        DrawFace(dc, area, m_bmpDown);
        ::OffsetRect(&textArea, 1, 1);
        DrawLabel(dc, textArea, m_textColor);
    } else {
        const bool showHover = m_bHover && !m_bmpHover.IsEmpty();
        DrawFace(dc, area, showHover ? m_bmpHover : m_bmpNormal);
        DrawLabel(dc, textArea, m_textColor);
    }
    ::SetBkMode(dc, previousMode);
}

void CxSkinButton::DrawFace(HDC dc, const RECT& item, const CSelectedBitmap& face) const
{
    if (face.IsEmpty()) {
        fillWithButtonFace(dc, item);
        return;
    }
    const SIZE size = face.GetSize();
    const int width = std::min<int>(size.cx, item.right - item.left);
    const int height = std::min<int>(size.cy, item.bottom - item.top);
    ::BitBlt(dc, item.left, item.top, width, height, face.GetSafeHdc(), 0, 0, SRCCOPY);
    // A face smaller than the button: the rest would show whatever was on
    // the screen before (the button erases nothing).
    fillWithButtonFace(dc, RECT{item.left + width, item.top, item.right, item.bottom});
    fillWithButtonFace(dc, RECT{item.left, item.top + height, item.left + width, item.bottom});
}

void CxSkinButton::DrawLabel(HDC dc, RECT area, COLORREF color) const
{
    const std::string text = GetWindowText();
    if (text.empty()) {
        return;
    }
    ::SetTextColor(dc, color);
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, kTextFormat);
}
