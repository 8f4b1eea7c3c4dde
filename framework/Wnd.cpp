#include "framework/Wnd.h"

#include "framework/WinApp.h"

#include <cstdio>
#include <map>
#include <vector>

namespace {

// Where the window's own procedure is kept when its object lets go of the
// window while another subclass sits on top of ours (see Unsubclass).
constexpr wchar_t kOrphanedProcProperty[] = L"NtWindowProcBeforeObject";

WNDPROC currentProcOf(HWND window)
{
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
}

} // namespace

CWnd::~CWnd()
{
    if (m_hWnd == nullptr) {
        return;
    }
    // Unbind first: the derived parts are gone and must not see the
    // messages that destroying the window sends.
    const HWND window = m_hWnd;
    const bool owned = m_bOwnsWindow;
    Unsubclass();
    if (owned) {
        ::DestroyWindow(window);
    }
}

CWnd* CWnd::FromHandle(HWND window)
{
    if (window == nullptr || currentProcOf(window) != &SubclassProc) {
        return nullptr;
    }
    return reinterpret_cast<CWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool CWnd::SubclassWindow(HWND window)
{
    if (m_hWnd != nullptr || window == nullptr || FromHandle(window) != nullptr ||
        ::GetWindowLongPtrW(window, GWLP_USERDATA) != 0) {
        return false;
    }
    m_hWnd = window;
    PreSubclassWindow();
    // The object first: the first message through our procedure looks for it.
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    // Set as Unicode, as comctl32 sets its subclasses: handlers see the
    // messages as they always have.
    m_pfnPreviousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    if (m_pfnPreviousProc == nullptr) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        return false;
    }
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    return parent != nullptr && SubclassWindow(::GetDlgItem(parent->GetSafeHwnd(), static_cast<int>(id)));
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu)
{
    if (m_hWnd != nullptr) {
        return false;
    }
    const HWND window = ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
                                          AfxGetInstanceHandle(), nullptr);
    if (window == nullptr) {
        return false;
    }
    if (!SubclassWindow(window)) {
        ::DestroyWindow(window);
        return false;
    }
    m_bOwnsWindow = true;
    return true;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type)
{
    return ::MessageBoxA(m_hWnd, text, caption != nullptr ? caption : AfxGetAppName(), type);
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags)
{
    return ModifyLong(GWL_STYLE, remove, add, swpFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags)
{
    return ModifyLong(GWL_EXSTYLE, remove, add, swpFlags);
}

BOOL CWnd::ModifyLong(int index, DWORD remove, DWORD add, UINT swpFlags)
{
    const auto style = static_cast<DWORD>(::GetWindowLongA(m_hWnd, index));
    const DWORD changed = (style & ~remove) | add;
    if (changed == style && swpFlags == 0) {
        return FALSE;
    }
    ::SetWindowLongA(m_hWnd, index, static_cast<LONG>(changed));
    if (swpFlags != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    }
    return TRUE;
}

std::string CWnd::GetWindowText() const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    if (length <= 0) {
        return {};
    }
    std::vector<char> text(static_cast<size_t>(length) + 1);
    const int copied = ::GetWindowTextA(m_hWnd, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (message) {
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_MENU && ReflectToChild(item->hwndItem, message, wParam, lParam, &result)) {
            return result;
        }
        break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        if (ReflectToChild(reinterpret_cast<HWND>(lParam), message, wParam, lParam, &result)) {
            return result;
        }
        break;
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

LRESULT CWnd::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnPreviousProc == nullptr) {
        return 0; // the window is gone
    }
    return ::CallWindowProcW(m_pfnPreviousProc, m_hWnd, message, wParam, lParam);
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return false;
}

bool CWnd::ReflectToChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    CWnd* object = FromHandle(child);
    return object != nullptr && object != this && object->OnChildNotify(message, wParam, lParam, result);
}

void CWnd::Unsubclass()
{
    if (currentProcOf(m_hWnd) == &SubclassProc) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnPreviousProc));
    } else {
        // Another subclass sits on top and still calls ours, which from now
        // on passes everything on to the procedure kept here.
        ::SetPropW(m_hWnd, kOrphanedProcProperty,
                   reinterpret_cast<HANDLE>(reinterpret_cast<INT_PTR>(m_pfnPreviousProc)));
    }
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    m_hWnd = nullptr;
    m_pfnPreviousProc = nullptr;
    m_bOwnsWindow = false;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CWnd*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        const auto previous =
            reinterpret_cast<WNDPROC>(reinterpret_cast<INT_PTR>(::GetPropW(window, kOrphanedProcProperty)));
        if (message == WM_NCDESTROY) {
            ::RemovePropW(window, kOrphanedProcProperty);
        }
        return previous != nullptr ? ::CallWindowProcW(previous, window, message, wParam, lParam)
                                   : ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The window's last message: forget it, so that the object neither
        // reaches a dead handle nor destroys a recycled one later.
        const WNDPROC previous = self->m_pfnPreviousProc;
        self->Unsubclass();
        return ::CallWindowProcW(previous, window, message, wParam, lParam);
    }
    try {
        return self->WindowProc(message, wParam, lParam);
    } catch (...) {
        // No exception may cross the system's window code; the message
        // counts as handled with a neutral result.
        return 0;
    }
}

const char* AfxRegisterWndClass(UINT classStyle)
{
    static std::map<UINT, std::string> names;
    auto [entry, added] = names.try_emplace(classStyle);
    if (added) {
        char name[32];
        std::snprintf(name, sizeof name, "NtWnd:%x", classStyle);
        entry->second = name;
        // The object's WindowProc takes over once the window is created.
        WNDCLASSA windowClass{};
        windowClass.style = classStyle;
        windowClass.lpfnWndProc = &::DefWindowProcA;
        windowClass.hInstance = AfxGetInstanceHandle();
        windowClass.lpszClassName = entry->second.c_str();
        ::RegisterClassA(&windowClass);
    }
    return entry->second.c_str();
}
