#pragma once
// The program's tray icon: a right press opens the "SYSTRAY" menu for the
// main window, a left double click restores the main window.
#include "tray/SysTrayIcon.h"

// Menu resource 130 and its commands, which the main window handles.
#include "res/resource.h"

class CSysTrayIconDerived : public CSysTrayIcon {
public:
    ~CSysTrayIconDerived() override = default;

    void OnRButtonDown(UINT id, int x, int y) override;
    void OnLButtonDblClk(UINT id, int x, int y) override;
};
