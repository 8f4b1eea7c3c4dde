#pragma once
// A static text that paints itself: its own font, colours, solid or gradient
// background (or none), emboss, rotation, blinking, and a click that opens a
// link or notifies the parent. Setters chain.
#include "framework/Controls.h"
#include "framework/Gdi.h"

#include <string>

// WM_NOTIFY code a label in notify mode sends its parent on a click.
inline constexpr UINT NM_LABELCLICK = WM_APP + 0x200;

class CLabel : public CStatic {
public:
    CLabel();

    virtual CLabel& SetFill(COLORREF color, COLORREF endColor, bool gradient);
    virtual CLabel& SetForeColor(COLORREF color);
    virtual CLabel& SetCaption(const std::string& text);
    virtual CLabel& SetBold(BOOL bold);
    virtual CLabel& SetTypeface(const std::string& name, BYTE charSet);
    virtual CLabel& SetUnderlined(BOOL underlined);
    virtual CLabel& SetItalics(BOOL italics);
    virtual CLabel& SetPointSize(int points);
    virtual CLabel& SetEdgeSunken(BOOL sunken);
    virtual CLabel& SetFrameLine(BOOL line);
    virtual CLabel& SetClearBackground(BOOL clear);
    virtual CLabel& BlinkText(BOOL blink);
    virtual CLabel& BlinkBackground(BOOL blink);
    virtual CLabel& SetWebLink(bool on, int notify);
    virtual CLabel& SetHoverCursor(HCURSOR cursor);
    virtual CLabel& SetEmboss(bool on, bool downRight);
    virtual CLabel& SetTextAngle(int degrees, bool rotated);
    virtual CLabel& SetEmbossColor(COLORREF color);
    virtual CLabel& SetFontRecord(const LOGFONTA& description);
    virtual CLabel& SetMailtoLink(bool on, int notify);
    virtual CLabel& SetLinkTarget(const std::string& target);

    const LOGFONTA& GetFontRecord() const { return m_lf; }
    // The window text's size on one line in the label's font.
    SIZE GetTextExtent() const;

    // How a click opens its link; the shell unless replaced (tests do).
    using ShellOpen = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
    static ShellOpen s_shellOpen;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PreSubclassWindow() override;

private:
    enum LinkKind : int { kNoLink = 0, kWebLink = 1, kMailLink = 2 };
    enum BlinkMode : int { kNoBlink = 0, kBlinkText = 1, kBlinkBackground = 2 };
    static constexpr UINT_PTR kBlinkTimer = 1;
    static constexpr UINT kBlinkPeriodMs = 500;

    LRESULT OnPaint();
    LRESULT OnTimer(WPARAM id, LPARAM callback);
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);

    void RebuildFont();
    void Refresh();
    void StartBlinking(BlinkMode mode);
    void StopBlinkTimer();
    CLabel& SetLink(LinkKind kind, bool on, int notify);
    COLORREF BackgroundColor() const;
    void PaintBackground(HDC dc, const RECT& area) const;
    void PaintGradient(HDC dc, const RECT& area) const;
    void DrawLabelText(HDC dc, const RECT& area, const std::string& text);

    COLORREF m_crText = ::GetSysColor(COLOR_WINDOWTEXT);
    COLORREF m_crHiColor = RGB(255, 255, 255); // emboss colour
    CBrush m_backBrush;                        // system colour background
    CBrush m_fillBrush;                        // fill brush, when one is set
    LOGFONTA m_lf{};
    CFont m_font;
    bool m_bState = false; // blink phase
    bool m_bTimer = false; // a blink timer was started
    int m_linkKind = kNoLink;
    bool m_bTransparent = false; // clear background
    bool m_bEmboss = false;
    bool m_bNotifyParent = false;
    bool m_bRotation = false;
    int m_blinkMode = kNoBlink;
    HCURSOR m_hCursor = nullptr; // not owned
    bool m_bEmbossDownRight = true;
    bool m_bGradient = false;
    COLORREF m_crGradientEnd = 0;
    COLORREF m_crFill = 0;
    std::string m_linkTarget;
};
