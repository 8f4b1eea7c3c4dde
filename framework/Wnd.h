#pragma once
// A window handle with its object. Windows become ours either by being
// created through CreateEx or by subclassing an existing one (a dialog item):
// either way our procedure replaces the window's, which stays for default
// processing, and the window's user data (GWLP_USERDATA) holds the object, so
// the handle leads back to the object without a global table. Not comctl32's
// SetWindowSubclass: under Wine it reads its list of subclasses from a window
// property at every message, a round trip to Wine's server that costs some
// 70 us of CPU a message where the rest of a message costs under one.
#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object bound to the window, or null when the window is not ours
    // (or another subclass has been put on top of ours since). Only valid on
    // the window's own thread.
    static CWnd* FromHandle(HWND window);
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Binds this object to an existing window; false if the object is bound
    // already, or the window is someone else's, holds user data of its own or
    // can't be subclassed.
    bool SubclassWindow(HWND window);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    // Creates a window owned by this object: it is destroyed with the object.
    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menu);
    BOOL DestroyWindow();

    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    // Removes, then adds style bits; with swpFlags the frame is updated too.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    std::string GetWindowText() const;

protected:
    // The class's message map: one switch calling its On… handlers, passing
    // everything else to the base class's WindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The window's processing from before it became ours.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs when the object is bound, before any message reaches WindowProc.
    virtual void PreSubclassWindow() {}
    // A message the parent reflected to this child (WM_DRAWITEM,
    // WM_CTLCOLOR…): true with *result set when handled here.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Unsubclass();
    // The style (GWL_STYLE) or extended style (GWL_EXSTYLE) with bits removed, then added.
    BOOL ModifyLong(int index, DWORD remove, DWORD add, UINT swpFlags);
    bool ReflectToChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    bool m_bOwnsWindow = false;
    WNDPROC m_pfnPreviousProc = nullptr; // the window's own procedure, for default processing
};

// The window class for windows the framework creates itself (style as for
// RegisterClass, no cursor, brush or icon); registered once per style.
const char* AfxRegisterWndClass(UINT classStyle);
