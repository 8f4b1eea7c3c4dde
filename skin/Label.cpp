#include "skin/Label.h"

#include "skin/LabelLayout.h"

#include <shellapi.h>

#include <optional>

CLabel::ShellOpen CLabel::s_shellOpen = &::ShellExecuteA;

CLabel::CLabel()
{
    m_backBrush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
}

CLabel& CLabel::SetFill(COLORREF color, COLORREF endColor, bool gradient)
{
    m_crFill = color;
    m_crGradientEnd = endColor;
    m_bGradient = gradient;
    m_fillBrush.DeleteObject();
    if (!gradient) {
        m_fillBrush.CreateSolidBrush(color);
    }
    Refresh();
    return *this;
}

CLabel& CLabel::SetForeColor(COLORREF color)
{
    m_crText = color;
    Refresh();
    return *this;
}

CLabel& CLabel::SetCaption(const std::string& text)
{
    if (m_hWnd != nullptr) {
        SetWindowText(text.c_str());
        Refresh();
    }
    return *this;
}

CLabel& CLabel::SetBold(BOOL bold)
{
    m_lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    Refresh();
    return *this;
}

CLabel& CLabel::SetTypeface(const std::string& name, BYTE charSet)
{
    m_lf.lfCharSet = charSet;
    // Cut to the field (31 characters and the terminator), never past it.
    ::lstrcpynA(m_lf.lfFaceName, name.c_str(), LF_FACESIZE);
    RebuildFont();
    Refresh();
    return *this;
}

CLabel& CLabel::SetUnderlined(BOOL underlined)
{
    m_lf.lfUnderline = static_cast<BYTE>(underlined & 0xFF);
    RebuildFont();
    Refresh();
    return *this;
}

CLabel& CLabel::SetItalics(BOOL italics)
{
    m_lf.lfItalic = static_cast<BYTE>(italics & 0xFF);
    RebuildFont();
    Refresh();
    return *this;
}

CLabel& CLabel::SetPointSize(int points)
{
    // Only the size is taken from a font made for that point size; the rest
    // of the description stays.
    CFont sized;
    LOGFONTA measured{};
    if (sized.CreatePointFont(points * 10, m_lf.lfFaceName) && sized.GetLogFont(&measured)) {
        m_lf.lfHeight = measured.lfHeight;
        m_lf.lfWidth = measured.lfWidth;
    }
    RebuildFont();
    Refresh();
    return *this;
}

CLabel& CLabel::SetEdgeSunken(BOOL sunken)
{
    if (m_hWnd != nullptr) {
        ModifyStyleEx(sunken ? 0 : WS_EX_STATICEDGE, sunken ? WS_EX_STATICEDGE : 0, SWP_FRAMECHANGED);
    }
    return *this;
}

CLabel& CLabel::SetFrameLine(BOOL line)
{
    if (m_hWnd != nullptr) {
        ModifyStyle(line ? 0 : WS_BORDER, line ? WS_BORDER : 0, SWP_FRAMECHANGED);
    }
    return *this;
}

CLabel& CLabel::SetClearBackground(BOOL clear)
{
    m_bTransparent = clear != FALSE;
    if (m_hWnd != nullptr) {
        ModifyStyleEx(0, WS_EX_TRANSPARENT);
    }
    Refresh();
    return *this;
}

CLabel& CLabel::BlinkText(BOOL blink)
{
    StopBlinkTimer();
    if (blink) {
        StartBlinking(kBlinkText);
    } else {
        m_blinkMode = kNoBlink;
    }
    return *this;
}

CLabel& CLabel::BlinkBackground(BOOL blink)
{
    StopBlinkTimer();
    if (blink) {
        StartBlinking(kBlinkBackground);
    } else if (m_blinkMode == kBlinkBackground) {
        // Else the label could stay frozen in its inverse phase.
        m_blinkMode = kNoBlink;
    }
    return *this;
}

CLabel& CLabel::SetWebLink(bool on, int notify)
{
    return SetLink(kWebLink, on, notify);
}

CLabel& CLabel::SetHoverCursor(HCURSOR cursor)
{
    m_hCursor = cursor;
    return *this;
}

CLabel& CLabel::SetEmboss(bool on, bool downRight)
{
    m_bEmboss = on;
    m_bEmbossDownRight = downRight;
    Refresh();
    return *this;
}

CLabel& CLabel::SetTextAngle(int degrees, bool rotated)
{
    m_lf.lfEscapement = m_lf.lfOrientation = degrees * 10;
    m_bRotation = rotated;
    RebuildFont();
    Refresh();
    return *this;
}

CLabel& CLabel::SetEmbossColor(COLORREF color)
{
    m_crHiColor = color;
    Refresh();
    return *this;
}

CLabel& CLabel::SetFontRecord(const LOGFONTA& description)
{
    m_lf = description;
    RebuildFont();
    Refresh();
    return *this;
}

CLabel& CLabel::SetMailtoLink(bool on, int notify)
{
    return SetLink(kMailLink, on, notify);
}

CLabel& CLabel::SetLinkTarget(const std::string& target)
{
    m_linkTarget = target;
    return *this;
}

CLabel& CLabel::SetLink(LinkKind kind, bool on, int notify)
{
    m_linkKind = on ? kind : kNoLink;
    m_bNotifyParent = notify != 0;
    // A static control only gets clicks with SS_NOTIFY.
    if (m_hWnd != nullptr) {
        ModifyStyle(m_linkKind != kNoLink ? 0 : SS_NOTIFY, m_linkKind != kNoLink ? SS_NOTIFY : 0);
    }
    return *this;
}

SIZE CLabel::GetTextExtent() const
{
    const std::string text = GetWindowText();
    const UniqueScreenDC screen(::GetDC(nullptr));
    const ScopedSelect font(screen.get(), m_font);
    SIZE extent{};
    ::GetTextExtentPoint32A(screen.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return extent;
}

void CLabel::PreSubclassWindow()
{
    auto font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (font == nullptr) {
        font = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    }
    ::GetObjectA(font, sizeof m_lf, &m_lf);
    RebuildFont();
}

LRESULT CLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        return OnPaint();
    case WM_ERASEBKGND:
        return TRUE; // painting covers or deliberately leaves the background
    case WM_TIMER:
        return OnTimer(wParam, lParam);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(wParam, lParam);
    case WM_SETCURSOR:
        return OnSetCursor(wParam, lParam);
    case WM_SYSCOLORCHANGE:
        return OnSysColorChange(wParam, lParam);
    default:
        return CStatic::WindowProc(message, wParam, lParam);
    }
}

LRESULT CLabel::OnPaint()
{
    CPaintDC paint(m_hWnd);
    RECT client{};
    GetClientRect(&client);
    const std::string text = GetWindowText();

    // Unless the background is clear, draw off-screen and copy once, so the
    // label never shows half drawn.
    CDC memory;
    CBitmap canvas;
    std::optional<ScopedSelect> canvasSelection;
    HDC dc = paint;
    if (!m_bTransparent) {
        memory.CreateCompatibleDC(paint);
        canvas.CreateCompatibleBitmap(paint, client.right, client.bottom);
        canvasSelection.emplace(memory, canvas);
        dc = memory;
    }

    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColor = ::SetTextColor(dc, m_crText);
    {
        ScopedSelect fontSelection(dc, m_font);
        // Background blinking shows the label inverted in the off phase:
        // background in the text colour, text in the background's colour.
        // Also over a clear background, or the blinking would not show.
        if (m_blinkMode == kBlinkBackground && !m_bState) {
            CBrush inverse;
            inverse.CreateSolidBrush(m_crText);
            ::FillRect(dc, &client, inverse);
            ::SetTextColor(dc, BackgroundColor());
        } else if (!m_bTransparent) {
            PaintBackground(dc, client);
        }
        if (m_blinkMode == kBlinkText && !m_bState) {
            LOGBRUSH fill{};
            ::SetTextColor(dc, m_fillBrush.GetLogBrush(&fill) ? fill.lbColor : RGB(0, 0, 0));
        }
        DrawLabelText(dc, client, text);
    }
    ::SetBkMode(dc, previousMode);
    ::SetTextColor(dc, previousColor);

    if (!m_bTransparent) {
        ::BitBlt(paint, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    }
    return 0;
}

COLORREF CLabel::BackgroundColor() const
{
    if (m_bGradient || !m_fillBrush.IsEmpty()) {
        return m_crFill;
    }
    return ::GetSysColor(COLOR_BTNFACE);
}

void CLabel::PaintBackground(HDC dc, const RECT& area) const
{
    if (m_bGradient) {
        PaintGradient(dc, area);
    } else {
        ::FillRect(dc, &area, m_fillBrush.IsEmpty() ? m_backBrush : m_fillBrush);
    }
}

void CLabel::PaintGradient(HDC dc, const RECT& area) const
{
    ScopedSelect pen(dc, ::GetStockObject(NULL_PEN));
    for (const GradientBand& band : gradientBands(area.left, area.right, m_crFill, m_crGradientEnd)) {
        CBrush brush;
        brush.CreateSolidBrush(band.color);
        ScopedSelect selection(dc, brush);
        // Without a pen Rectangle leaves the right and bottom edges out.
        ::Rectangle(dc, band.left, area.top, band.right + 1, area.bottom + 1);
    }
}

void CLabel::DrawLabelText(HDC dc, const RECT& area, const std::string& text)
{
    if (m_bRotation) {
        // Rotated text turns about the label's centre.
        const UINT previousAlign = ::SetTextAlign(dc, TA_BASELINE);
        POINT previousOrigin{};
        ::SetViewportOrgEx(dc, area.right / 2, area.bottom / 2, &previousOrigin);
        ::TextOutA(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
        ::SetViewportOrgEx(dc, previousOrigin.x, previousOrigin.y, nullptr);
        ::SetTextAlign(dc, previousAlign);
        return;
    }
    const UINT format = labelTextFormat(GetStyle(), text);
    RECT textArea = area;
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textArea, format);
    if (m_bEmboss) {
        ::SetTextColor(dc, m_crHiColor);
        const int offset = m_bEmbossDownRight ? 1 : -1;
        ::OffsetRect(&textArea, offset, offset);
        ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textArea, format);
    }
}

LRESULT CLabel::OnTimer(WPARAM id, LPARAM callback)
{
    m_bState = !m_bState;
    Refresh();
    return CStatic::WindowProc(WM_TIMER, id, callback);
}

LRESULT CLabel::OnLButtonDown(WPARAM keys, LPARAM point)
{
    if (m_bNotifyParent) {
        const int id = GetDlgCtrlID();
        NMHDR header{m_hWnd, static_cast<UINT_PTR>(id), NM_LABELCLICK};
        ::SendMessageA(::GetParent(m_hWnd), WM_NOTIFY, static_cast<WPARAM>(id),
                       reinterpret_cast<LPARAM>(&header));
    } else if (m_linkKind == kWebLink) {
        const std::string target = m_linkTarget.empty() ? GetWindowText() : m_linkTarget;
        s_shellOpen(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    } else if (m_linkKind == kMailLink) {
        const std::string address = "mailto:" + GetWindowText();
        s_shellOpen(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    return CStatic::WindowProc(WM_LBUTTONDOWN, keys, point);
}

LRESULT CLabel::OnSetCursor(WPARAM wParam, LPARAM lParam)
{
    if (m_hCursor == nullptr) {
        return CStatic::WindowProc(WM_SETCURSOR, wParam, lParam);
    }
    ::SetCursor(m_hCursor);
    return TRUE;
}

LRESULT CLabel::OnSysColorChange(WPARAM, LPARAM)
{
    m_backBrush.DeleteObject();
    m_backBrush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    Refresh();
    return 0;
}

void CLabel::RebuildFont()
{
    m_font.DeleteObject();
    m_font.CreateFontIndirect(m_lf);
}

void CLabel::Refresh()
{
    if (m_hWnd == nullptr) {
        return; // nothing on screen yet
    }
    RECT area{};
    GetWindowRect(&area);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // A clear label shows what lies under it: the parent repaints that.
    const HWND parent = ::GetParent(m_hWnd);
    if (parent != nullptr) {
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
        ::InvalidateRect(parent, &area, TRUE);
        ::UpdateWindow(parent);
    }
}

void CLabel::StartBlinking(BlinkMode mode)
{
    if (m_hWnd == nullptr) {
        return; // a timer without a window would be the thread's, not ours
    }
    m_bState = false;
    m_bTimer = true;
    ::SetTimer(m_hWnd, kBlinkTimer, kBlinkPeriodMs, nullptr);
    m_blinkMode = mode;
}

void CLabel::StopBlinkTimer()
{
    if (m_bTimer && m_hWnd != nullptr) {
        ::KillTimer(m_hWnd, kBlinkTimer);
    }
}
