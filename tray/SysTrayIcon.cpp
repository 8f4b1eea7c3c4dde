#include "tray/SysTrayIcon.h"

#include <algorithm>
#include <new>

namespace {

// uFlags doubles as the record's state: 0 until the shell knows the icon.
constexpr UINT kShownFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

UINT taskbarCreatedMessage()
{
    static const UINT message = ::RegisterWindowMessageA("TaskbarCreated");
    return message;
}

// The program runs elevated and the shell does not: without this the
// shell's restart message is filtered out and never arrives. Looked up at
// run time; where the call does not exist there is no filter either.
void letThroughFromLowerPrivilege(HWND window, UINT message)
{
    using FilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    const HMODULE user32 = ::GetModuleHandleA("user32.dll");
    const auto filter = reinterpret_cast<FilterFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
    if (filter != nullptr) {
        filter(window, message, MSGFLT_ALLOW, nullptr);
    }
}

} // namespace

CSysTrayIcon::ShellNotify CSysTrayIcon::s_shellNotify = &::Shell_NotifyIconA;

LRESULT CSysTrayWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A registered message has no constant value for a case label.
    if (message == taskbarCreatedMessage() && m_pOwner != nullptr) {
        m_pOwner->OnTaskbarCreated();
        return 0;
    }
    switch (message) {
    case WM_SYSTRAY_NOTIFY:
        return m_pOwner != nullptr ? m_pOwner->OnTrayNotify(wParam, lParam) : 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

CSysTrayIcon::CSysTrayIcon()
{
    m_wnd.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                   CW_USEDEFAULT, nullptr, nullptr);
    m_wnd.SetOwner(this);
    letThroughFromLowerPrivilege(m_wnd.GetSafeHwnd(), taskbarCreatedMessage());
}

CSysTrayIcon::~CSysTrayIcon()
{
    while (!m_iconList.empty()) {
        DeleteIcon(m_iconList.front()->uID);
    }
    m_wnd.SetOwner(nullptr);
}

BOOL CSysTrayIcon::AddIcon(HICON icon)
{
    if (FindIcon(kIconId) != nullptr) {
        return TRUE;
    }
    if (icon == nullptr) {
        return FALSE;
    }
    std::unique_ptr<NOTIFYICONDATAA> record(new (std::nothrow) NOTIFYICONDATAA{});
    if (!record) {
        return FALSE;
    }
    // The layout with balloon fields and GUID, which every supported system reads.
    record->cbSize = NOTIFYICONDATAA_V3_SIZE;
    record->hWnd = m_wnd.GetSafeHwnd();
    record->uID = kIconId;
    record->uFlags = 0;
    record->uCallbackMessage = WM_SYSTRAY_NOTIFY;
    record->hIcon = icon; // not owned
    ::lstrcpynA(record->szTip, kTip, sizeof record->szTip);
    m_iconList.push_back(std::move(record));
    return TRUE;
}

BOOL CSysTrayIcon::ShowIcon()
{
    NOTIFYICONDATAA* record = FindIcon(kIconId);
    if (record == nullptr) {
        return FALSE;
    }
    const bool known = record->uFlags != 0;
    record->uFlags = kShownFlags;
    return s_shellNotify(known ? NIM_MODIFY : NIM_ADD, record);
}

BOOL CSysTrayIcon::DeleteIcon(UINT id)
{
    const auto found = std::find_if(m_iconList.begin(), m_iconList.end(),
                                    [id](const auto& record) { return record->uID == id; });
    if (found == m_iconList.end()) {
        return FALSE;
    }
    (*found)->uFlags = 0;
    const BOOL result = s_shellNotify(NIM_DELETE, found->get());
    m_iconList.erase(found); // forgotten whatever the shell answered
    return result;
}

void CSysTrayIcon::OnTaskbarCreated()
{
    for (const auto& record : m_iconList) {
        if (record->uFlags != 0) {
            s_shellNotify(NIM_ADD, record.get());
        }
    }
}

LRESULT CSysTrayIcon::OnTrayNotify(WPARAM id, LPARAM mouseMessage)
{
    if (m_bCallbacksDropped) {
        return 0;
    }
    if (m_nKeptCallbacks > 0) {
        m_wnd.PostMessage(WM_SYSTRAY_NOTIFY, id, mouseMessage);
        return 0;
    }
    // The message carries no position: where the cursor is now.
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const auto icon = static_cast<UINT>(id);
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_MOUSEMOVE:
        OnMouseMove(icon, cursor.x, cursor.y);
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(icon, cursor.x, cursor.y);
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(icon, cursor.x, cursor.y);
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(icon, cursor.x, cursor.y);
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(icon, cursor.x, cursor.y);
        break;
    case WM_RBUTTONUP:
        OnRButtonUp(icon, cursor.x, cursor.y);
        break;
    case WM_RBUTTONDBLCLK:
        OnRButtonDblClk(icon, cursor.x, cursor.y);
        break;
    case WM_MBUTTONDOWN:
        OnMButtonDown(icon, cursor.x, cursor.y);
        break;
    case WM_MBUTTONUP:
        OnMButtonUp(icon, cursor.x, cursor.y);
        break;
    case WM_MBUTTONDBLCLK:
        OnMButtonDblClk(icon, cursor.x, cursor.y);
        break;
    default:
        break;
    }
    return 0;
}

NOTIFYICONDATAA* CSysTrayIcon::FindIcon(UINT id) const
{
    for (const auto& record : m_iconList) {
        if (record->uID == id) {
            return record.get();
        }
    }
    return nullptr;
}
