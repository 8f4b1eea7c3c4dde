#include "tray/SysTrayIconDerived.h"

#include "framework/Menu.h"
#include "framework/WinApp.h"

void CSysTrayIconDerived::OnRButtonDown(UINT, int x, int y)
{
    CWnd* mainWindow = AfxGetMainWnd();
    if (mainWindow == nullptr || mainWindow->GetSafeHwnd() == nullptr) {
        return; // no window to take the command
    }
    CMenu menu;
    if (!menu.LoadMenu(IDR_SYSTRAY)) {
        return;
    }
    // Without the foreground the menu would not close when clicked beside it.
    ::SetForegroundWindow(mainWindow->GetSafeHwnd());
    // Returns when the menu closes; a chosen item reaches the main window as
    // WM_COMMAND.
    ::TrackPopupMenu(menu.GetSubMenu(0), TPM_RIGHTBUTTON, x, y, 0, mainWindow->GetSafeHwnd(), nullptr);
}

void CSysTrayIconDerived::OnLButtonDblClk(UINT, int, int)
{
    CWnd* mainWindow = AfxGetMainWnd();
    if (mainWindow != nullptr) {
        mainWindow->ShowWindow(SW_RESTORE);
    }
}
