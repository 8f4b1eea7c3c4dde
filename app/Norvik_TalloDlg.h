#pragma once
// The program's only window: a skinned, caption-less dialog with the lamp
// row of the card's PWM status, the On/Off switch for automatic PWM
// switching, the autostart question, Reset, Apply and Close, and the
// notification-area icon.
#include "card/board/VideoCardBase.h"
#include "card/lamps/LedProcess.h"
#include "framework/Controls.h"
#include "res/resource.h"
#include "skin/BitmapDialog.h"
#include "skin/Label.h"
#include "skin/SkinButton.h"
#include "threading/CommandRunner.h"
#include "tray/SysTrayIconDerived.h"

#include <functional>
#include <memory>

class CNorvik_TalloDlg : public CBitmapDialog {
public:
    // Identifies the card (a management-service query) and loads the icon.
    CNorvik_TalloDlg();
    ~CNorvik_TalloDlg() override = default;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;

private:
    void SetUpSkin();
    void SetUpLamps();
    void FitAutostartQuestion();
    void LightAllLeds();
    void StartCardMonitoring();
    // A command re-entered while the card is busy (a click sent from elsewhere
    // is handled inside the wait for a card command) is posted again, so it
    // runs after the one under way; true when it has been.
    bool WaitsItsTurn(int commandId);
    // Runs a card command off this thread and waits for it as long as the bus
    // answers; false when it was not run because the one before is stuck.
    bool RunCardCommand(std::function<void()> command);
    void ShutDownCard();
    // Shows why the card can't be used and ends the process at once.
    [[noreturn]] void EndWithCardFailure(const char* text);

    LRESULT OnPaint();
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    void OnRestore();
    void OnExit();
    void OnHide();
    void OnApply();
    void OnReset();
    void OnDestroyWindow();

    HICON m_hIcon; // shared icon from the resources: not destroyed
    CSysTrayIconDerived m_trayIcon;
    CxSkinButton m_btnHide;
    CxSkinButton m_btnQuit;
    CxSkinButton m_btnOn;
    CxSkinButton m_btnOff;
    CxSkinButton m_btnReset;
    CxSkinButton m_btnApply;
    CxSkinButton m_btnClose;
    CxSkinButton m_leds[NT_LED_COUNT]; // index 0 is the leftmost lamp
    CLabel m_lblAutostart;
    CButton m_radioYes;
    CButton m_radioNo;
    int m_bResetDone = 0;   // 1 after Reset until the next Apply
    int m_bSwitchingOn = 0; // 1 while automatic PWM switching is applied
    int m_cardModel;
    // Freed when the window is destroyed, unless a driver call never returns.
    // Declared in this order so that, freed by default too, the card (whose
    // destruction ends its polling thread) goes before the lamp mapping that
    // the thread calls.
    std::unique_ptr<LedProcess> m_pLedProcess;
    std::unique_ptr<VideoCardBase> m_pVideoCard;
    CommandRunner m_cardCommands;
    // A card command is being waited for.
    bool m_bCardBusy = false;
    // The shutdown has begun.
    bool m_bClosing = false;
};
