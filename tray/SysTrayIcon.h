#pragma once
// A notification-area icon holder: a hidden window receives the shell's
// callback messages and turns them into one virtual operation per mouse
// event. The icon comes back by itself when the shell restarts.
#include "framework/Wnd.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <vector>

// The shell's callback message for our icons.
inline constexpr UINT WM_SYSTRAY_NOTIFY = WM_USER + 1;

class CSysTrayIcon;

class CSysTrayWnd : public CWnd {
public:
    // Not owned: the holder that embeds this window; null once it goes.
    void SetOwner(CSysTrayIcon* owner) noexcept { m_pOwner = owner; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CSysTrayIcon* m_pOwner = nullptr;
};

class CSysTrayIcon {
public:
    // The one icon the holder shows, and its tip.
    static constexpr UINT kIconId = 1;
    static constexpr char kTip[] = "Norvik_Tallo";

    CSysTrayIcon();
    virtual ~CSysTrayIcon();
    CSysTrayIcon(const CSysTrayIcon&) = delete;
    CSysTrayIcon& operator=(const CSysTrayIcon&) = delete;

    // Prepares the icon's record without telling the shell; a second call
    // keeps the first record. FALSE for a null icon.
    BOOL AddIcon(HICON icon);
    // Gives the icon to the shell: added the first time, modified afterwards.
    BOOL ShowIcon();
    // Takes the icon from the shell and forgets its record.
    BOOL DeleteIcon(UINT id);

    LRESULT OnTrayNotify(WPARAM id, LPARAM mouseMessage);

    // While the owner's thread waits and handles only sent messages (the
    // shell's callbacks are sent), no handler may run inside that wait: the
    // menu runs a loop of its own. As long as one of these lives, callbacks are
    // posted again, to be handled once the owner's own loop runs.
    class KeptCallbacks {
    public:
        explicit KeptCallbacks(CSysTrayIcon& icon) noexcept : m_icon(icon) { ++m_icon.m_nKeptCallbacks; }
        ~KeptCallbacks() { --m_icon.m_nKeptCallbacks; }
        KeptCallbacks(const KeptCallbacks&) = delete;
        KeptCallbacks& operator=(const KeptCallbacks&) = delete;

    private:
        CSysTrayIcon& m_icon;
    };
    // From now on no callback is handled: the owner is going away.
    void DropCallbacks() noexcept { m_bCallbacksDropped = true; }
    // A restarted shell has forgotten every icon: give it the shown ones again.
    void OnTaskbarCreated();

    virtual void OnLButtonDown(UINT, int, int) {}
    virtual void OnRButtonDown(UINT, int, int) {}
    virtual void OnMButtonDown(UINT, int, int) {}
    virtual void OnLButtonUp(UINT, int, int) {}
    virtual void OnRButtonUp(UINT, int, int) {}
    virtual void OnMButtonUp(UINT, int, int) {}
    virtual void OnLButtonDblClk(UINT, int, int) {}
    virtual void OnRButtonDblClk(UINT, int, int) {}
    virtual void OnMButtonDblClk(UINT, int, int) {}
    virtual void OnMouseMove(UINT, int, int) {}

    // The shell call; replaceable so that tests can see each request.
    using ShellNotify = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);
    static ShellNotify s_shellNotify;

protected:
    CSysTrayWnd m_wnd;
    std::vector<std::unique_ptr<NOTIFYICONDATAA>> m_iconList;

private:
    NOTIFYICONDATAA* FindIcon(UINT id) const;

    int m_nKeptCallbacks = 0;
    bool m_bCallbacksDropped = false;
};
