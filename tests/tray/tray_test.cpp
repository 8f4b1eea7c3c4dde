#include <gtest/gtest.h>

#include "framework/WinApp.h"
#include "nt_test.h"
#include "tray/SysTrayIconDerived.h"

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using nt_test::pumpMessages;

CWinApp testApp; // the tray menu finds its owner through the application object

struct ShellRequest {
    DWORD message;
    NOTIFYICONDATAA record;
};
std::vector<ShellRequest> requests;
BOOL shellAnswer = TRUE;

BOOL WINAPI recordRequest(DWORD message, PNOTIFYICONDATAA record)
{
    requests.push_back({message, *record});
    return shellAnswer;
}

class TrayIcon : public ::testing::Test {
protected:
    void SetUp() override
    {
        requests.clear();
        shellAnswer = TRUE;
        CSysTrayIcon::s_shellNotify = &recordRequest;
    }
    void TearDown() override { CSysTrayIcon::s_shellNotify = shellNotify_; }

    HICON icon_ = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));      // IDI_APPLICATION
    HICON otherIcon_ = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32516)); // IDI_INFORMATION

private:
    CSysTrayIcon::ShellNotify shellNotify_ = CSysTrayIcon::s_shellNotify;
};

TEST_F(TrayIcon, ShowsTheFirstIconAddedWithTheProgramsRecord)
{
    CSysTrayIcon tray;
    EXPECT_FALSE(tray.ShowIcon()) << "nothing added yet";
    EXPECT_FALSE(tray.AddIcon(nullptr));
    EXPECT_FALSE(tray.ShowIcon()) << "a null icon adds nothing";
    EXPECT_TRUE(requests.empty());

    EXPECT_TRUE(tray.AddIcon(icon_));
    EXPECT_TRUE(tray.AddIcon(otherIcon_));
    EXPECT_TRUE(requests.empty()) << "adding only prepares the record";

    EXPECT_TRUE(tray.ShowIcon());
    EXPECT_TRUE(tray.ShowIcon());
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(DWORD{NIM_ADD}, requests[0].message);
    EXPECT_EQ(DWORD{NIM_MODIFY}, requests[1].message);

    const NOTIFYICONDATAA& record = requests[0].record;
    EXPECT_EQ(UINT{NOTIFYICONDATAA_V3_SIZE}, record.cbSize)
        << "the size with the balloon fields and the GUID";
    if constexpr (sizeof(void*) == 4) {
        EXPECT_EQ(504u, record.cbSize);
    }
    EXPECT_EQ(1u, record.uID);
    EXPECT_EQ(UINT{NIF_MESSAGE | NIF_ICON | NIF_TIP}, record.uFlags);
    EXPECT_EQ(0x0401u, record.uCallbackMessage);
    EXPECT_EQ(icon_, record.hIcon) << "the second icon is not taken";
    EXPECT_STREQ("Norvik_Tallo", record.szTip);
    EXPECT_TRUE(::IsWindow(record.hWnd));
    EXPECT_FALSE(::IsWindowVisible(record.hWnd));
    EXPECT_EQ(0u, record.dwState);
    EXPECT_EQ('\0', record.szInfo[0]);
    EXPECT_EQ(0u, record.dwInfoFlags);
}

TEST_F(TrayIcon, DeleteForgetsTheRecordWhateverTheShellAnswers)
{
    CSysTrayIcon tray;
    tray.AddIcon(icon_);
    tray.ShowIcon();
    EXPECT_FALSE(tray.DeleteIcon(2));
    ASSERT_EQ(1u, requests.size()) << "an unknown id reaches no shell";

    shellAnswer = FALSE;
    EXPECT_FALSE(tray.DeleteIcon(1));
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(DWORD{NIM_DELETE}, requests[1].message);
    EXPECT_EQ(0u, requests[1].record.uFlags);
    EXPECT_EQ(1u, requests[1].record.uID);
    EXPECT_FALSE(tray.ShowIcon());
    EXPECT_FALSE(tray.DeleteIcon(1));

    shellAnswer = TRUE;
    EXPECT_TRUE(tray.AddIcon(icon_));
    EXPECT_TRUE(tray.ShowIcon());
    EXPECT_EQ(DWORD{NIM_ADD}, requests.back().message) << "added anew";
}

TEST_F(TrayIcon, DestructionRemovesTheIconAndTheHiddenWindow)
{
    HWND hidden = nullptr;
    {
        CSysTrayIcon tray;
        tray.AddIcon(icon_);
        tray.ShowIcon();
        hidden = requests.back().record.hWnd;
    }
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(DWORD{NIM_DELETE}, requests[1].message);
    EXPECT_EQ(1u, requests[1].record.uID);
    EXPECT_FALSE(::IsWindow(hidden));
}

TEST_F(TrayIcon, ARestartedShellGetsTheShownIconAgain)
{
    const UINT taskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");
    CSysTrayIcon tray;
    tray.AddIcon(icon_);
    tray.ShowIcon();
    const HWND hidden = requests.back().record.hWnd;

    ::SendMessageA(hidden, taskbarCreated, 0, 0);
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(DWORD{NIM_ADD}, requests[1].message);
    EXPECT_EQ(icon_, requests[1].record.hIcon);
    EXPECT_EQ(UINT{NIF_MESSAGE | NIF_ICON | NIF_TIP}, requests[1].record.uFlags);

    // A removed icon stays removed.
    tray.DeleteIcon(1);
    tray.AddIcon(icon_);
    const size_t before = requests.size();
    ::SendMessageA(hidden, taskbarCreated, 0, 0);
    EXPECT_EQ(before, requests.size()) << "prepared but never shown";
}

TEST(TrayIconShell, TheShellTakesAddModifyAndDelete)
{
    CSysTrayIcon tray;
    ASSERT_TRUE(tray.AddIcon(::LoadIconA(nullptr, MAKEINTRESOURCEA(32512))));
    EXPECT_TRUE(tray.ShowIcon());
    EXPECT_TRUE(tray.ShowIcon());
    EXPECT_TRUE(tray.DeleteIcon(1));
}

// Records which mouse operation ran, with its arguments.
class RecordingTray : public CSysTrayIcon {
public:
    struct Call {
        std::string operation;
        UINT id;
        int x, y;
    };
    std::vector<Call> calls;

    void OnLButtonDown(UINT id, int x, int y) override { calls.push_back({"LButtonDown", id, x, y}); }
    void OnRButtonDown(UINT id, int x, int y) override { calls.push_back({"RButtonDown", id, x, y}); }
    void OnMButtonDown(UINT id, int x, int y) override { calls.push_back({"MButtonDown", id, x, y}); }
    void OnLButtonUp(UINT id, int x, int y) override { calls.push_back({"LButtonUp", id, x, y}); }
    void OnRButtonUp(UINT id, int x, int y) override { calls.push_back({"RButtonUp", id, x, y}); }
    void OnMButtonUp(UINT id, int x, int y) override { calls.push_back({"MButtonUp", id, x, y}); }
    void OnLButtonDblClk(UINT id, int x, int y) override { calls.push_back({"LButtonDblClk", id, x, y}); }
    void OnRButtonDblClk(UINT id, int x, int y) override { calls.push_back({"RButtonDblClk", id, x, y}); }
    void OnMButtonDblClk(UINT id, int x, int y) override { calls.push_back({"MButtonDblClk", id, x, y}); }
    void OnMouseMove(UINT id, int x, int y) override { calls.push_back({"MouseMove", id, x, y}); }
};

TEST_F(TrayIcon, NotificationsReachTheirOperationsWithTheCursorPosition)
{
    RecordingTray tray;
    tray.AddIcon(icon_);
    tray.ShowIcon();
    const HWND hidden = requests.back().record.hWnd;
    ::SetCursorPos(123, 234);

    const std::pair<UINT, const char*> cases[] = {
        {WM_MOUSEMOVE, "MouseMove"},         {WM_LBUTTONDOWN, "LButtonDown"}, {WM_LBUTTONUP, "LButtonUp"},
        {WM_LBUTTONDBLCLK, "LButtonDblClk"}, {WM_RBUTTONDOWN, "RButtonDown"}, {WM_RBUTTONUP, "RButtonUp"},
        {WM_RBUTTONDBLCLK, "RButtonDblClk"}, {WM_MBUTTONDOWN, "MButtonDown"}, {WM_MBUTTONUP, "MButtonUp"},
        {WM_MBUTTONDBLCLK, "MButtonDblClk"},
    };
    for (const auto& [mouseMessage, operation] : cases) {
        tray.calls.clear();
        EXPECT_EQ(0, ::SendMessageA(hidden, WM_SYSTRAY_NOTIFY, 5, mouseMessage));
        ASSERT_EQ(1u, tray.calls.size()) << operation;
        EXPECT_EQ(operation, tray.calls[0].operation);
        EXPECT_EQ(5u, tray.calls[0].id);
        EXPECT_EQ(123, tray.calls[0].x);
        EXPECT_EQ(234, tray.calls[0].y);
    }
    tray.calls.clear();
    EXPECT_EQ(0, ::SendMessageA(hidden, WM_SYSTRAY_NOTIFY, 1, WM_KEYDOWN));
    EXPECT_TRUE(tray.calls.empty());
}

// A hidden top-level window standing in for the program's main window.
class OwnerWindow : public CWnd {
public:
    OwnerWindow()
    {
        CreateEx(0, AfxRegisterWndClass(0), "Owner", WS_OVERLAPPEDWINDOW, 50, 50, 200, 150, nullptr, nullptr);
        testApp.m_pMainWnd = this;
    }
    ~OwnerWindow() override { testApp.m_pMainWnd = nullptr; }
    std::vector<UINT> commands;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND) {
            commands.push_back(LOWORD(wParam));
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

HWND findOpenMenu()
{
    const HWND menu = ::FindWindowA("#32768", nullptr);
    return menu != nullptr && ::IsWindowVisible(menu) ? menu : nullptr;
}

// Chooses an item of the next menu that opens, by keyboard, from another
// thread while the menu's own loop runs; reports where the menu opened.
class MenuChooser {
public:
    // Once the menu opens: that many Down presses, then the closing key.
    explicit MenuChooser(int downPresses, WPARAM closingKey = VK_RETURN)
        : thread_([this, downPresses, closingKey] {
              HWND menu = nullptr;
              for (int i = 0; i < 500 && menu == nullptr && !stopLooking_; ++i) {
                  ::Sleep(10);
                  menu = findOpenMenu();
              }
              if (menu == nullptr) {
                  return;
              }
              ::GetWindowRect(menu, &where_);
              opened_ = true;
              for (int i = 0; i < downPresses; ++i) {
                  ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
              }
              ::PostMessageA(menu, WM_KEYDOWN, closingKey, 0);
          })
    {
    }
    ~MenuChooser() { join(); }
    bool opened() const { return opened_; }
    RECT where() const { return where_; }
    void stopLooking() { stopLooking_ = true; }
    void join()
    {
        if (thread_.joinable()) {
            thread_.join();
        }
    }

private:
    std::atomic<bool> opened_{false};
    std::atomic<bool> stopLooking_{false};
    RECT where_{};
    std::thread thread_;
};

TEST_F(TrayIcon, ARightPressOpensTheMenuWhoseChoiceReachesTheMainWindow)
{
    OwnerWindow owner;
    CSysTrayIconDerived tray;
    tray.AddIcon(icon_);
    tray.ShowIcon();
    const HWND hidden = requests.back().record.hWnd;

    const struct {
        int downPresses;
        UINT command;
    } choices[] = {{1, ID_SYSTRAY_RESTORE}, {2, ID_SYSTRAY_EXIT}};
    for (const auto& choice : choices) {
        owner.commands.clear();
        ::SetCursorPos(300, 310);
        {
            MenuChooser chooser(choice.downPresses);
            ::SendMessageA(hidden, WM_SYSTRAY_NOTIFY, 1, WM_RBUTTONDOWN);
            pumpMessages();
            chooser.join();
            ASSERT_TRUE(chooser.opened());
            EXPECT_EQ(300, chooser.where().left);
            EXPECT_EQ(310, chooser.where().top);
        }
        EXPECT_EQ(std::vector<UINT>{choice.command}, owner.commands);
        EXPECT_FALSE(::IsWindowVisible(owner.GetSafeHwnd())) << "the menu alone shows nothing";
    }
}

TEST_F(TrayIcon, ADoubleClickRestoresAHiddenMainWindowAndOtherEventsDoNothing)
{
    OwnerWindow owner;
    CSysTrayIconDerived tray;
    tray.AddIcon(icon_);
    tray.ShowIcon();
    const HWND hidden = requests.back().record.hWnd;

    for (UINT event : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDBLCLK}) {
        ::SendMessageA(hidden, WM_SYSTRAY_NOTIFY, 1, static_cast<LPARAM>(event));
    }
    pumpMessages();
    EXPECT_FALSE(::IsWindowVisible(owner.GetSafeHwnd()));
    EXPECT_EQ(nullptr, findOpenMenu());
    EXPECT_TRUE(owner.commands.empty());

    ::SendMessageA(hidden, WM_SYSTRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(owner.GetSafeHwnd()));
}

TEST_F(TrayIcon, WithoutAMainWindowTheMenuDoesNotOpen)
{
    CSysTrayIconDerived tray;
    tray.AddIcon(icon_);
    tray.ShowIcon();
    // The menu is modal: one opened by mistake is closed, so that the test
    // fails instead of waiting for ever.
    MenuChooser closer(0, VK_ESCAPE);
    ::SendMessageA(requests.back().record.hWnd, WM_SYSTRAY_NOTIFY, 1, WM_RBUTTONDOWN);
    ::SendMessageA(requests.back().record.hWnd, WM_SYSTRAY_NOTIFY, 1, WM_LBUTTONDBLCLK);
    closer.stopLooking();
    closer.join();
    EXPECT_FALSE(closer.opened());
}

} // namespace
