#include "app/Norvik_TalloDlg.h"

#include "app/Autostart.h"
#include "card/CardModels.h"
#include "card/Factory.h"
#include "common/ScopedFlag.h"
#include "detect/CardModel.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "threading/Waits.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The face and its shape are fixed pixels, drawn for "MS Shell Dlg" at 8
// points being Tahoma at 96 DPI: the window keeps that layout on any scale.
constexpr FaceMetrics kFace{{6, 13}, 96};
constexpr int kPointsPerInch = 72;

constexpr char kAutostartQuestion[] = "Run Tallo Utility when the system starts";
constexpr int kAutostartPointSize = 11;

// Every wait for the card lasts as long as the bus answers and ends once the
// call under way is stuck. These caps only keep a bus that answers once a
// second from holding things up for ever. A command of the user's (a reset
// of 38 transactions of 100 ms takes 4 s) goes on by itself after its cap,
// and the window with it.
constexpr DWORD kCardCommandCapMs = 10000;
// What is under way, then the reset: all of the shutdown's waits together.
constexpr DWORD kShutdownCapMs = 60000;
constexpr DWORD kPauseBeforeFreeingCardMs = 50;

} // namespace

CNorvik_TalloDlg::CNorvik_TalloDlg()
    : m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_NORVIK_TALLO))),
      m_cardModel(identifyCardModel())
{
}

void CNorvik_TalloDlg::DoDataExchange(CDataExchange* exchange)
{
    CBitmapDialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_HIDE, m_btnHide);
    DDX_Control(exchange, IDC_QUIT, m_btnQuit);
    DDX_Control(exchange, IDC_ON, m_btnOn);
    DDX_Control(exchange, IDC_OFF, m_btnOff);
    DDX_Control(exchange, IDC_RESET, m_btnReset);
    DDX_Control(exchange, IDC_APPLY, m_btnApply);
    DDX_Control(exchange, IDC_CLOSE, m_btnClose);
    DDX_Control(exchange, IDC_AUTOSTART_LABEL, m_lblAutostart);
    for (int lamp = 0; lamp < NT_LED_COUNT; ++lamp) {
        DDX_Control(exchange, IDC_LED0 + lamp, m_leds[lamp]);
    }
    DDX_Control(exchange, IDC_RADIO_YES, m_radioYes);
    DDX_Control(exchange, IDC_RADIO_NO, m_radioNo);
}

LRESULT CNorvik_TalloDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        return OnPaint();
    case WM_QUERYDRAGICON:
        return reinterpret_cast<LRESULT>(m_hIcon);
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_DESTROY: {
        const LRESULT result = CBitmapDialog::WindowProc(message, wParam, lParam);
        OnDestroyWindow();
        return result;
    }
    default:
        return CBitmapDialog::WindowProc(message, wParam, lParam);
    }
}

LRESULT CNorvik_TalloDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Button clicks and menu commands both arrive with notification code 0.
    if (HIWORD(wParam) == 0) {
        switch (LOWORD(wParam)) {
        case ID_SYSTRAY_RESTORE:
            OnRestore();
            return 0;
        case ID_SYSTRAY_EXIT:
        case IDC_QUIT:
        case IDC_CLOSE:
            OnExit();
            return 0;
        case IDC_HIDE:
            OnHide();
            return 0;
        case IDC_APPLY:
            OnApply();
            return 0;
        case IDC_RESET:
            OnReset();
            return 0;
        default:
            break;
        }
    }
    // OK and Cancel (Enter and Escape) are the framework's.
    return CBitmapDialog::WindowProc(WM_COMMAND, wParam, lParam);
}

BOOL CNorvik_TalloDlg::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    SetUpSkin();
    StartCardMonitoring();
    return TRUE;
}

void CNorvik_TalloDlg::SetUpSkin()
{
    // The window takes the face's size before its shape is cut.
    LayOutForFace(kFace);
    // Loading the background builds the region, so it is shaped from the start
    // and built once.
    SetKeyColor(NT_FACE_KEY_COLOR);
    SetShaped(true);
    SetBackgroundBitmap(IDB_FACE);
    SetClearStatics(true);
    SetDragAnywhere(true);

    m_trayIcon.AddIcon(m_hIcon);
    m_trayIcon.ShowIcon();

    m_btnHide.LoadSkinFaces(IDB_HIDE_NORMAL, IDB_HIDE_DOWN, IDB_HIDE_HOVER, IDB_HIDE_DISABLED);
    m_btnQuit.LoadSkinFaces(IDB_QUIT_NORMAL, IDB_QUIT_DOWN, IDB_QUIT_HOVER, IDB_QUIT_DISABLED);
    m_btnOn.LoadSkinFaces(IDB_ON_NORMAL, IDB_ON_DOWN, IDB_ON_HOVER, IDB_ON_DISABLED);
    m_btnOff.LoadSkinFaces(IDB_OFF_NORMAL, IDB_OFF_DOWN, IDB_OFF_HOVER, IDB_OFF_DISABLED);
    m_btnReset.LoadSkinFaces(IDB_RESET_NORMAL, IDB_RESET_DOWN, IDB_RESET_HOVER, IDB_RESET_DISABLED);
    m_btnApply.LoadSkinFaces(IDB_APPLY_NORMAL, IDB_APPLY_DOWN, IDB_APPLY_HOVER, IDB_APPLY_DISABLED);
    m_btnClose.LoadSkinFaces(IDB_CLOSE_NORMAL, IDB_CLOSE_DOWN, IDB_CLOSE_HOVER, IDB_CLOSE_DISABLED);
    SetUpLamps();

    m_lblAutostart.SetForeColor(RGB(0, 0, 0));
    m_lblAutostart.SetCaption(kAutostartQuestion);
    m_lblAutostart.SetBold(TRUE);
    m_lblAutostart.SetPointSize(kAutostartPointSize);
    m_lblAutostart.SetClearBackground(TRUE);
    FitAutostartQuestion();

    // "Yes" and "Off" at every start, whatever the registry holds.
    m_radioYes.SetCheck(BST_CHECKED);
    m_btnOff.SetCheck(BST_CHECKED); // a skin radio button: clears "On"
    LightAllLeds();
}

// The question in the face's text size on any scale, and on one line: its
// control is as wide as the text needs, up to the panel's divider.
void CNorvik_TalloDlg::FitAutostartQuestion()
{
    LOGFONTA font = m_lblAutostart.GetFontRecord();
    font.lfHeight = -::MulDiv(kAutostartPointSize, kFace.dpi, kPointsPerInch);
    m_lblAutostart.SetFontRecord(font);

    RECT place{};
    m_lblAutostart.GetWindowRect(&place);
    ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
    const int needed = static_cast<int>(m_lblAutostart.GetTextExtent().cx);
    const int width = std::min<int>(std::max<int>(needed, place.right - place.left),
                                    NT_FACE_AUTOSTART_DIVIDER_X - place.left);
    ::SetWindowPos(m_lblAutostart.GetSafeHwnd(), nullptr, 0, 0, width, place.bottom - place.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// No faces for a model that is none of the supported cards: the program ends
// before the window shows.
void CNorvik_TalloDlg::SetUpLamps()
{
    const CardModelSpec* model = findCardModel(m_cardModel);
    if (model == nullptr) {
        return;
    }
    for (int lamp = 0; lamp < model->lampsShown; ++lamp) {
        const int litFace = lamp < model->greenLamps ? IDB_LED_GREEN : IDB_LED_RED;
        m_leds[lamp].LoadSkinFaces(IDB_LED_GREY, litFace, 0, 0);
        if (lamp >= NT_TEMPLATE_LAMPS) {
            m_leds[lamp].ShowWindow(SW_SHOW);
        }
    }
}

// All lamps of the model lit: what the row shows whenever automatic PWM
// switching is not applied.
void CNorvik_TalloDlg::LightAllLeds()
{
    const CardModelSpec* model = findCardModel(m_cardModel);
    const int lit = std::max(NT_TEMPLATE_LAMPS, model != nullptr ? model->lampsShown : 0);
    for (int lamp = 0; lamp < lit; ++lamp) {
        m_leds[lamp].SetCheck(BST_CHECKED);
    }
}

void CNorvik_TalloDlg::StartCardMonitoring()
{
    try {
        TalloFactory factory;
        m_pVideoCard = factory.createVideoCard();
        m_pLedProcess = factory.createLedProcess();
        m_pLedProcess->setDialog(m_hWnd);
        VideoCardBase* card = m_pVideoCard.get();
        card->setListener(m_pLedProcess.get());
        // The controller is reset before the first reading is taken.
        RunCardCommand([card] { card->reset(); });
        ::ResumeThread(card->threadHandle());
    } catch (const std::exception& failure) {
        EndWithCardFailure(failure.what());
    }
}

void CNorvik_TalloDlg::EndWithCardFailure(const char* text)
{
    // The icon goes first: it would outlive the process as a ghost, and while
    // the message is up it could restore a window that must never show.
    m_trayIcon.DeleteIcon(CSysTrayIcon::kIconId);
    MessageBox(text, AfxGetAppName(), MB_OK);
    std::exit(0);
}

LRESULT CNorvik_TalloDlg::OnPaint()
{
    if (!::IsIconic(m_hWnd)) {
        return CBitmapDialog::WindowProc(WM_PAINT, 0, 0);
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT client{};
    GetClientRect(&client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    return 0;
}

void CNorvik_TalloDlg::OnRestore()
{
    // Sent while the shutdown waits for the card, it would show a window on its way out.
    if (!m_bClosing) {
        ShowWindow(SW_RESTORE);
    }
}

void CNorvik_TalloDlg::OnExit()
{
    EndDialog(0);
}

// The window and its taskbar button go; the icon stays and the card is still
// polled, so the lamps are current when the window comes back.
void CNorvik_TalloDlg::OnHide()
{
    ShowWindow(SW_HIDE);
}

bool CNorvik_TalloDlg::WaitsItsTurn(int commandId)
{
    if (m_bClosing) {
        return true; // never run: the shutdown cannot be undone
    }
    if (!m_bCardBusy) {
        return false;
    }
    // Posted messages wait in the queue until this thread's loop runs again,
    // after the command under way; once the window is destroyed they are gone.
    PostMessage(WM_COMMAND, MAKEWPARAM(commandId, BN_CLICKED), 0);
    return true;
}

bool CNorvik_TalloDlg::RunCardCommand(std::function<void()> command)
{
    const ScopedFlag busy(m_bCardBusy);
    // The icon's menu would run its own loop inside this wait.
    const CSysTrayIcon::KeptCallbacks kept(m_trayIcon);
    return m_cardCommands.run(std::move(command), m_pVideoCard->calls(), kCardCommandCapMs) !=
           CommandRunner::Outcome::Dropped;
}

void CNorvik_TalloDlg::OnApply()
{
    if (WaitsItsTurn(IDC_APPLY)) {
        return;
    }
    ApplyAutostartChoice(m_radioYes.GetCheck() != 0, m_radioNo.GetCheck() != 0);
    if (VideoCardBase* card = m_pVideoCard.get()) {
        if (m_btnOn.GetCheck() != 0 && m_bSwitchingOn == 0) {
            if (RunCardCommand([card] { card->enable(); })) {
                m_bSwitchingOn = 1;
            }
        } else if (m_btnOff.GetCheck() != 0 && m_bSwitchingOn == 1) {
            if (RunCardCommand([card] { card->disable(); })) {
                LightAllLeds();
                m_bSwitchingOn = 0;
            }
        }
    }
    m_bResetDone = 0;
}

void CNorvik_TalloDlg::OnReset()
{
    if (WaitsItsTurn(IDC_RESET)) {
        return;
    }
    VideoCardBase* card = m_pVideoCard.get();
    if (m_bResetDone == 1 || card == nullptr || !RunCardCommand([card] { card->reset(); })) {
        return;
    }
    m_btnOff.SetCheck(BST_CHECKED);
    LightAllLeds();
    m_bResetDone = 1;
    m_bSwitchingOn = 0;
}

void CNorvik_TalloDlg::OnDestroyWindow()
{
    // What arrives while the shutdown waits for the card is never handled: no
    // command, no Restore, no menu.
    m_bClosing = true;
    m_trayIcon.DropCallbacks();
    if (m_pVideoCard) {
        ShutDownCard();
    }
    m_pLedProcess.reset();
}

// The card is left with its reset values, then freed with its polling thread,
// which until then may still call the lamp mapping.
void CNorvik_TalloDlg::ShutDownCard()
{
    VideoCardBase* videoCard = m_pVideoCard.get();
    const CallWatch& calls = videoCard->calls();
    const Deadline cap(kShutdownCapMs);
    // What is under way ends first, so that the reset is the last traffic, and
    // the reset is written whole, as long as the bus answers...
    const bool pollingEnded = videoCard->stopPolling(cap.remainingMs());
    const bool commandsEnded = m_cardCommands.waitUntilIdle(calls, cap.remainingMs());
    // ...and it is tried even beside a call that is stuck: the bus may still
    // answer it.
    const bool resetEnded = m_cardCommands.runBeside([videoCard] { videoCard->reset(); }, calls,
                                                     cap.remainingMs()) == CommandRunner::Outcome::Done;
    ::Sleep(kPauseBeforeFreeingCardMs);
    if (pollingEnded && commandsEnded && resetEnded) {
        m_pVideoCard.reset();
        return;
    }
    // A thread stuck in the driver still uses the card and may still call the
    // lamp mapping: both are left to the end of the process, which is near.
    static_cast<void>(m_pVideoCard.release());
    static_cast<void>(m_pLedProcess.release());
}
