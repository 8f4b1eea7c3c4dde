#pragma once
// The program's tray icon: a right press opens the "SYSTRAY" menu for the
// main window, a left double click restores the main window.
#include "tray/SysTrayIcon.h"

// Menu resource 130 and its commands, handled by the main window.
inline constexpr UINT IDR_SYSTRAY = 130;
inline constexpr UINT ID_SYSTRAY_RESTORE = 32771;
inline constexpr UINT ID_SYSTRAY_EXIT = 32772;

class CSysTrayIconDerived : public CSysTrayIcon {
public:
    ~CSysTrayIconDerived() override = default;

    void OnRButtonDown(UINT id, int x, int y) override;
    void OnLButtonDblClk(UINT id, int x, int y) override;
};
