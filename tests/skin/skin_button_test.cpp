#include <gtest/gtest.h>

#include "SkinTestDialog.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

constexpr COLORREF kNormal = RGB(200, 0, 0);
constexpr COLORREF kDown = RGB(0, 200, 0);
constexpr COLORREF kHover = RGB(0, 0, 200);
constexpr COLORREF kDisabled = RGB(200, 200, 0);
constexpr COLORREF kSmall = RGB(0, 200, 200);

LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return ::SendMessageA(window, message, wParam, lParam);
}

LRESULT checkOf(HWND button)
{
    return send(button, BM_GETCHECK);
}

bool pushedLook(HWND button)
{
    return (send(button, BM_GETSTATE) & BST_PUSHED) != 0;
}

void click(HWND button, int x, int y)
{
    send(button, WM_LBUTTONDOWN, MK_LBUTTON, pointParam(x, y));
    send(button, WM_LBUTTONUP, 0, pointParam(x, y));
}

// Where the face shows on screen, inside the button.
COLORREF faceOf(HWND button)
{
    ::InvalidateRect(button, nullptr, TRUE);
    return pixelAt(button, 2, 2);
}

TEST(SkinButton, BecomesOwnerDrawnAndKeepsItsOwnCheckState)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        for (int id : {IDC_PUSH, IDC_CHECK, IDC_RADIO1}) {
            EXPECT_EQ(BS_OWNERDRAW, ::GetWindowLongA(dialog.Item(id), GWL_STYLE) & BS_TYPEMASK) << id;
        }
        const HWND push = dialog.Item(IDC_PUSH);
        send(push, BM_SETCHECK, 1);
        EXPECT_EQ(0, checkOf(push));

        const HWND check = dialog.Item(IDC_CHECK);
        send(check, BM_SETCHECK, 5);
        EXPECT_EQ(1, checkOf(check));
        send(check, BM_SETCHECK, 0);
        EXPECT_EQ(0, checkOf(check));
    });
}

TEST(SkinButton, CheckingARadioButtonClearsOnlyTheOthersOfItsGroup)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND radio1 = dialog.Item(IDC_RADIO1);
        const HWND radio2 = dialog.Item(IDC_RADIO2);
        const HWND radio3 = dialog.Item(IDC_RADIO3);
        const HWND other = dialog.Item(IDC_RADIO_OTHER);
        const HWND check = dialog.Item(IDC_CHECK);
        send(radio2, BM_SETCHECK, 1);
        send(radio3, BM_SETCHECK, 1);
        send(other, BM_SETCHECK, 1);
        send(check, BM_SETCHECK, 1);
        EXPECT_EQ(0, checkOf(radio2)) << "radio 3 cleared it";

        send(radio1, BM_SETCHECK, 1);
        EXPECT_EQ(1, checkOf(radio1));
        EXPECT_EQ(0, checkOf(radio2));
        EXPECT_EQ(0, checkOf(radio3));
        EXPECT_EQ(1, checkOf(other)) << "another group";
        EXPECT_EQ(1, checkOf(check)) << "another group";

        // Unchecking one leaves the rest of the group alone.
        send(radio2, BM_SETCHECK, 0);
        EXPECT_EQ(1, checkOf(radio1));
        // The system's group walk skips a disabled button; once it is enabled
        // again, checking the checked button once more clears it.
        send(radio2, BM_SETCHECK, 1);
        ::EnableWindow(radio2, FALSE);
        send(radio1, BM_SETCHECK, 1);
        EXPECT_EQ(1, checkOf(radio2));
        ::EnableWindow(radio2, TRUE);
        send(radio1, BM_SETCHECK, 1);
        EXPECT_EQ(1, checkOf(radio1));
        EXPECT_EQ(0, checkOf(radio2));
    });
}

// Ends the whole test program with a failure when the scope is not left in
// time: a loop on the window's own thread would otherwise hang the run.
class Watchdog {
public:
    Watchdog(DWORD timeoutMs, const char* what)
        : thread_([this, timeoutMs, what] {
              std::unique_lock lock(mutex_);
              if (!left_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return done_; })) {
                  std::fprintf(stderr, "Watchdog: %s did not end within %lu ms\n", what, timeoutMs);
                  std::fflush(stderr);
                  ::TerminateProcess(::GetCurrentProcess(), 1);
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        left_.notify_one();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable left_;
    bool done_ = false;
    std::thread thread_;
};

// The system's group walk skips hidden and disabled items, so it never comes
// back to a button that is one of them.
TEST(SkinButton, CheckingAHiddenOrDisabledRadioButtonStillClearsItsGroupAndReturns)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND radio1 = dialog.Item(IDC_RADIO1);
        const HWND radio2 = dialog.Item(IDC_RADIO2);
        const HWND radio3 = dialog.Item(IDC_RADIO3);
        const struct {
            const char* name;
            void (*hide)(HWND);
            void (*show)(HWND);
        } ways[] = {
            {"hidden", [](HWND h) { ::ShowWindow(h, SW_HIDE); }, [](HWND h) { ::ShowWindow(h, SW_SHOW); }},
            {"disabled", [](HWND h) { ::EnableWindow(h, FALSE); }, [](HWND h) { ::EnableWindow(h, TRUE); }},
        };
        for (const auto& way : ways) {
            SCOPED_TRACE(way.name);
            send(radio1, BM_SETCHECK, 1);
            way.hide(radio2);
            {
                const Watchdog watchdog(5000, "checking a radio button that is hidden or disabled");
                send(radio2, BM_SETCHECK, 1);
            }
            way.show(radio2);
            EXPECT_EQ(1, checkOf(radio2));
            EXPECT_EQ(0, checkOf(radio1));
            EXPECT_EQ(0, checkOf(radio3));
        }
    });
}

TEST(SkinButton, TakesCheckChangesSentFromAnotherThread)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND check = dialog.Item(IDC_CHECK);
        bool done = false;
        std::thread worker([&] {
            ::SendMessageA(check, BM_SETCHECK, 1, 0);
            done = true;
        });
        EXPECT_TRUE(pumpUntil([&] { return done; }, 5000));
        worker.join();
        EXPECT_EQ(1, checkOf(check));
    });
}

TEST(SkinButton, ToggleOnlyWhenReleasedOverTheButton)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND check = dialog.Item(IDC_CHECK);
        // The button also looks at the real cursor when it draws: keep both
        // in step.
        const auto moveTo = [check](int x, int y) {
            POINT screen{x, y};
            ::ClientToScreen(check, &screen);
            ::SetCursorPos(screen.x, screen.y);
            send(check, WM_MOUSEMOVE, MK_LBUTTON, pointParam(x, y));
        };

        // Press, move out and release outside: no toggle; the pushed look
        // follows the cursor out and back in while held.
        moveTo(3, 3);
        send(check, WM_LBUTTONDOWN, MK_LBUTTON, pointParam(3, 3));
        EXPECT_TRUE(pushedLook(check));
        moveTo(-80, -80);
        EXPECT_FALSE(pushedLook(check));
        moveTo(4, 4);
        EXPECT_TRUE(pushedLook(check));
        moveTo(-80, -80);
        send(check, WM_LBUTTONUP, 0, pointParam(-80, -80));
        EXPECT_EQ(0, checkOf(check));
        EXPECT_EQ(nullptr, ::GetCapture());

        click(check, 3, 3);
        EXPECT_EQ(1, checkOf(check));
        click(check, 3, 3);
        EXPECT_EQ(0, checkOf(check));

        // The second press of a double click counts: two toggles.
        send(check, WM_LBUTTONDOWN, MK_LBUTTON, pointParam(3, 3));
        send(check, WM_LBUTTONUP, 0, pointParam(3, 3));
        EXPECT_EQ(1, checkOf(check));
        send(check, WM_LBUTTONDBLCLK, MK_LBUTTON, pointParam(3, 3));
        send(check, WM_LBUTTONUP, 0, pointParam(3, 3));
        EXPECT_EQ(0, checkOf(check));

        const HWND radio2 = dialog.Item(IDC_RADIO2);
        send(dialog.Item(IDC_RADIO1), BM_SETCHECK, 1);
        click(radio2, 3, 3);
        click(radio2, 3, 3);
        EXPECT_EQ(1, checkOf(radio2)) << "a radio button is only ever checked by a click";
        EXPECT_EQ(0, checkOf(dialog.Item(IDC_RADIO1)));

        const HWND push = dialog.Item(IDC_PUSH);
        click(push, 3, 3);
        EXPECT_EQ(0, checkOf(push));
    });
}

TEST(SkinButton, SpaceTogglesACheckBoxAndChecksARadioButton)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const auto key = [](HWND button, WPARAM vk) {
            send(button, WM_KEYDOWN, vk, 1);
            send(button, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
        };
        const HWND check = dialog.Item(IDC_CHECK);
        key(check, VK_SPACE);
        EXPECT_EQ(1, checkOf(check));
        key(check, VK_SPACE);
        EXPECT_EQ(0, checkOf(check));
        key(check, 'A');
        EXPECT_EQ(0, checkOf(check));

        const HWND radio = dialog.Item(IDC_RADIO3);
        key(radio, VK_SPACE);
        key(radio, VK_SPACE);
        EXPECT_EQ(1, checkOf(radio));

        const HWND push = dialog.Item(IDC_PUSH);
        key(push, VK_SPACE);
        EXPECT_EQ(0, checkOf(push));
    });
}

TEST(SkinButton, ShowsTheFaceOfItsState)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND push = dialog.Item(IDC_PUSH);
        const HWND check = dialog.Item(IDC_CHECK);
        EXPECT_EQ(kNormal, faceOf(push));
        EXPECT_EQ(kNormal, faceOf(check));

        send(check, BM_SETCHECK, 1);
        EXPECT_EQ(kDown, faceOf(check)) << "a checked lamp is lit without any press";
        send(check, BM_SETCHECK, 0);
        EXPECT_EQ(kNormal, faceOf(check));

        send(push, BM_SETSTATE, TRUE);
        EXPECT_EQ(kDown, faceOf(push));
        send(push, BM_SETSTATE, FALSE);
        EXPECT_EQ(kNormal, faceOf(push));

        ::EnableWindow(push, FALSE);
        EXPECT_EQ(kDisabled, faceOf(push));
        ::EnableWindow(push, TRUE);
        EXPECT_EQ(kNormal, faceOf(push));
    });
}

// The lamps are sent their whole row again and again: a state that stays as
// it was must cost no paint.
TEST(SkinButton, RepaintsOnBmSetCheckOnlyWhenTheCheckStateChanges)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const auto paintsAfter = [](HWND button, WPARAM check) {
            ::UpdateWindow(button);
            send(button, BM_SETCHECK, check);
            return ::GetUpdateRect(button, nullptr, FALSE) != FALSE;
        };
        const HWND check = dialog.Item(IDC_CHECK);
        EXPECT_TRUE(paintsAfter(check, 1));
        EXPECT_FALSE(paintsAfter(check, 5)) << "checked already";
        EXPECT_TRUE(paintsAfter(check, 0));
        EXPECT_FALSE(paintsAfter(check, 0));

        const HWND radio = dialog.Item(IDC_RADIO1);
        EXPECT_TRUE(paintsAfter(radio, 1));
        EXPECT_FALSE(paintsAfter(radio, 1));
        EXPECT_FALSE(paintsAfter(dialog.Item(IDC_PUSH), 1)) << "a push button stays unchecked";
    });
}

TEST(SkinButton, ShowsTheHoverFaceWhileTheMouseIsOverIt)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const auto hoverOver = [](HWND button) {
            RECT bounds{};
            ::GetWindowRect(button, &bounds);
            ::SetCursorPos((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
            send(button, WM_MOUSEMOVE, 0, pointParam(3, 3));
        };
        const HWND push = dialog.Item(IDC_PUSH);
        hoverOver(push);
        EXPECT_EQ(kHover, faceOf(push));
        send(push, WM_MOUSELEAVE);
        EXPECT_EQ(kNormal, faceOf(push));

        // Without a hover face the normal one shows; without a disabled
        // face, the normal picture.
        const HWND other = dialog.Item(IDC_RADIO_OTHER);
        hoverOver(other);
        EXPECT_EQ(kNormal, faceOf(other));
        ::EnableWindow(other, FALSE);
        EXPECT_EQ(kNormal, faceOf(other));
        ::SetCursorPos(0, 0);
    });
}

TEST(SkinButton, AFaceSmallerThanTheButtonIsFilledOutWithTheButtonFaceColour)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND small = dialog.Item(IDC_SMALL_FACE);
        const SIZE size = clientSize(small);
        ASSERT_GT(size.cx, 8);
        ASSERT_GT(size.cy, 8);
        ::InvalidateRect(small, nullptr, TRUE);
        EXPECT_EQ(kSmall, pixelAt(small, 1, 1));
        EXPECT_EQ(kSmall, pixelAt(small, 3, 3));
        const COLORREF buttonFace = ::GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(buttonFace, pixelAt(small, 4, 1));
        EXPECT_EQ(buttonFace, pixelAt(small, 1, 4));
        EXPECT_EQ(buttonFace, pixelAt(small, size.cx - 1, size.cy - 1));
    });
}

TEST(SkinButton, AFaceThatDoesNotLoadShowsAFlatFill)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        dialog.push.LoadSkinFaces(IDB_MISSING, IDB_FACE_DOWN, 0, 0);
        EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), faceOf(dialog.Item(IDC_PUSH)));
    });
}

} // namespace
