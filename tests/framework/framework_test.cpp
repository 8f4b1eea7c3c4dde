#include <gtest/gtest.h>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "framework/WinApp.h"
#include "nt_test.h"

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace {

int releases = 0;
void countRelease(int*)
{
    ++releases;
}
using FakeHandle = UniqueHandle<int*, &countRelease>;
static_assert(!std::is_copy_constructible_v<FakeHandle> && !std::is_copy_assignable_v<FakeHandle>,
              "a copy would release the handle twice");

TEST(UniqueHandle, ReleasesEachHandleExactlyOnce)
{
    int a = 0;
    int b = 0;
    releases = 0;
    {
        FakeHandle first(&a);
        FakeHandle second(std::move(first));
        EXPECT_FALSE(first); // NOLINT(bugprone-use-after-move): the moved-from state is under test
        EXPECT_EQ(&a, second.get());
        FakeHandle third(&b);
        third = std::move(second); // b released
        EXPECT_EQ(1, releases);
        auto& alias = third;
        third = std::move(alias); // self-move keeps it
        EXPECT_EQ(1, releases);
        EXPECT_EQ(&a, third.get());
        third.reset(&b); // a released
        EXPECT_EQ(2, releases);
        EXPECT_EQ(&b, third.release());
        EXPECT_FALSE(third);
    }
    EXPECT_EQ(2, releases) << "given up, not released";
}

// Files report failure as INVALID_HANDLE_VALUE, and null is an ordinary value to them.
struct MinusOne {
    static int* value() noexcept { return reinterpret_cast<int*>(static_cast<std::intptr_t>(-1)); }
};
using FakeFileHandle = UniqueHandle<int*, &countRelease, MinusOne>;

TEST(UniqueHandle, ReleasesAnythingButItsOwnInvalidValue)
{
    int a = 0;
    releases = 0;
    {
        FakeFileHandle failed(MinusOne::value());
        EXPECT_FALSE(failed);
        FakeFileHandle none;
        EXPECT_EQ(MinusOne::value(), none.get());
        FakeFileHandle null(nullptr);
        EXPECT_TRUE(null);
        // A handle handed over through a pointer replaces (and releases) the one held.
        *null.put() = &a;
        EXPECT_EQ(1, releases);
        EXPECT_EQ(&a, null.get());
    }
    EXPECT_EQ(2, releases) << "null and &a released, the invalid value never";

    const UniqueFileHandle missing(
        ::CreateFileA("Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
}

TEST(GdiOwners, ASelectionIsUndoneBeforeItsObjectIsDeleted)
{
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(nullptr));
    const HGDIOBJ original = ::GetCurrentObject(memory, OBJ_BITMAP);
    {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(memory, 4, 3));
        EXPECT_EQ(4, bitmap.GetSize().cx);
        ScopedSelect selection(memory, bitmap);
        EXPECT_EQ(bitmap.GetSafeHandle(), ::GetCurrentObject(memory, OBJ_BITMAP));
    }
    EXPECT_EQ(original, ::GetCurrentObject(memory, OBJ_BITMAP));
    CBitmap empty;
    EXPECT_EQ(0, empty.GetSize().cx);
    EXPECT_FALSE(empty.LoadBitmap(4242));

    // A bitmap kept selected in a DC of its own goes away with it.
    const HBITMAP kept = ::CreateCompatibleBitmap(memory, 4, 3);
    CSelectedBitmap face;
    ASSERT_TRUE(face.Attach(kept));
    EXPECT_EQ(kept, ::GetCurrentObject(face.GetSafeHdc(), OBJ_BITMAP));
    EXPECT_EQ(3, face.GetSize().cy);
    face.DeleteObject();
    EXPECT_EQ(0u, ::GetObjectType(kept)) << "deleted with its DC, not leaked";
    EXPECT_TRUE(face.IsEmpty());
    EXPECT_FALSE(face.LoadBitmap(4242));
}

// A window that records messages, throws on request and can destroy itself.
class ProbeWindow : public CWnd {
public:
    static constexpr UINT kThrow = WM_APP + 1;
    static constexpr UINT kDestroySelf = WM_APP + 2;
    int attachHooks = 0;
    bool sawHandleAfterDestroy = true;

protected:
    void PreSubclassWindow() override { ++attachHooks; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case kThrow:
            throw std::runtime_error("handler failure");
        case kDestroySelf:
            ::DestroyWindow(m_hWnd);
            sawHandleAfterDestroy = m_hWnd != nullptr;
            return 7;
        default:
            return CWnd::WindowProc(message, wParam, lParam);
        }
    }
};

TEST(Wnd, ACreatedWindowLeadsBackToItsObjectUntilItIsDestroyed)
{
    HWND window = nullptr;
    {
        ProbeWindow probe;
        ASSERT_TRUE(
            probe.CreateEx(0, AfxRegisterWndClass(0), "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        window = probe.GetSafeHwnd();
        EXPECT_EQ(&probe, CWnd::FromHandle(window));
        EXPECT_EQ(1, probe.attachHooks);
        EXPECT_FALSE(probe.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    }
    EXPECT_FALSE(::IsWindow(window)) << "the object owned its window";

    ProbeWindow probe;
    probe.CreateEx(0, AfxRegisterWndClass(0), "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr);
    window = probe.GetSafeHwnd();
    // Destroyed from inside one of its own messages: the object forgets
    // the handle as soon as the window is gone.
    EXPECT_EQ(7, ::SendMessageA(window, ProbeWindow::kDestroySelf, 0, 0));
    EXPECT_FALSE(probe.sawHandleAfterDestroy);
    EXPECT_EQ(nullptr, probe.GetSafeHwnd());
    EXPECT_EQ(nullptr, CWnd::FromHandle(window));
}

LRESULT CALLBACK passOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    return ::DefSubclassProc(window, message, wParam, lParam);
}

TEST(Wnd, ABoundWindowKeepsItsOwnProcessingAndOutlivesItsObject)
{
    const HWND edit = ::CreateWindowExA(0, "EDIT", "before", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                        ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, edit);
    {
        ProbeWindow probe;
        ASSERT_TRUE(probe.SubclassWindow(edit));
        ProbeWindow second;
        EXPECT_FALSE(second.SubclassWindow(edit)) << "one object per window";
        EXPECT_FALSE(probe.SubclassWindow(edit));

        probe.SetWindowText("after");
        EXPECT_EQ("after", probe.GetWindowText());
        // An exception in a handler stays inside the window procedure.
        EXPECT_EQ(0, ::SendMessageA(edit, ProbeWindow::kThrow, 0, 0));
        // Someone else's subclass on top of ours: the object lets go under it.
        ::SetWindowSubclass(edit, &passOn, 1, 0);
    }
    EXPECT_TRUE(::IsWindow(edit)) << "a bound window belongs to its creator";
    EXPECT_EQ(nullptr, CWnd::FromHandle(edit));
    char text[16]{};
    ::GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ("after", text);
    EXPECT_EQ(1, ::SendMessageA(edit, EM_GETLINECOUNT, 0, 0))
        << "the edit's own processing, through the subclass on top";
    ::DestroyWindow(edit);
}

class CountingButton : public CButton {
public:
    int drawings = 0;
    int attachHooks = 0;

protected:
    void PreSubclassWindow() override { ++attachHooks; }
    void DrawItem(DRAWITEMSTRUCT* item) override
    {
        ++drawings;
        ::FillRect(item->hDC, &item->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
};

class ColoredStatic : public CStatic {
public:
    HBRUSH brush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));

protected:
    bool OnChildNotify(UINT message, WPARAM, LPARAM, LRESULT* result) override
    {
        if (message != WM_CTLCOLORSTATIC) {
            return false;
        }
        *result = reinterpret_cast<LRESULT>(brush);
        return true;
    }
};

class TestDialog : public CDialog {
public:
    using Body = std::function<void(TestDialog&)>;
    explicit TestDialog(Body body, UINT templateId = 100) : CDialog(templateId), body_(std::move(body)) {}

    CountingButton button;
    ColoredStatic label;
    int bindings = 0;
    bool destroyed = false;
    HWND handleDuringDestroy = nullptr;
    HWND Handle() const { return m_hWnd; }

protected:
    static constexpr UINT kRunBody = WM_APP + 1;

    void DoDataExchange(CDataExchange* exchange) override
    {
        ++bindings;
        DDX_Control(exchange, 1001, button);
        DDX_Control(exchange, 1001, button); // already bound: left alone
        DDX_Control(exchange, 1002, label);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(kRunBody);
        return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case kRunBody:
            body_(*this);
            return 0;
        case WM_DESTROY:
            destroyed = true;
            handleDuringDestroy = m_hWnd;
            break;
        default:
            break;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }

private:
    Body body_;
};

TEST(Dialog, BindsItsControlsOnceAndEndsWithTheResultGiven)
{
    HWND buttonWindow = nullptr;
    TestDialog dialog([&](TestDialog& self) {
        buttonWindow = self.button.GetSafeHwnd();
        EXPECT_EQ(&self.button, CWnd::FromHandle(::GetDlgItem(self.Handle(), 1001)));
        EXPECT_EQ(&self, CWnd::FromHandle(self.Handle()));
        self.EndDialog(7);
    });
    EXPECT_EQ(7, dialog.DoModal());
    EXPECT_EQ(1, dialog.bindings);
    EXPECT_EQ(1, dialog.button.attachHooks);
    EXPECT_NE(nullptr, buttonWindow);
    EXPECT_TRUE(dialog.destroyed) << "WM_DESTROY reaches the derived class";
    EXPECT_NE(nullptr, dialog.handleDuringDestroy);
    EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
    EXPECT_EQ(nullptr, dialog.button.GetSafeHwnd()) << "children forget their windows with them";
}

TEST(Dialog, OkCancelAndCloseEndTheDialogByDefault)
{
    const struct {
        UINT message;
        WPARAM wParam;
        INT_PTR result;
    } cases[] = {
        {WM_COMMAND, IDOK, IDOK},
        {WM_COMMAND, IDCANCEL, IDCANCEL},
        {WM_CLOSE, 0, IDCANCEL},
    };
    for (const auto& c : cases) {
        TestDialog dialog([&](TestDialog& self) { ::PostMessageA(self.Handle(), c.message, c.wParam, 0); });
        EXPECT_EQ(c.result, dialog.DoModal()) << c.message << " " << c.wParam;
    }
}

TEST(Dialog, AMissingTemplateGivesMinusOne)
{
    TestDialog dialog([](TestDialog&) {}, 4242);
    EXPECT_EQ(-1, dialog.DoModal());
}

TEST(Dialog, ReflectsDrawingAndColourRequestsToTheChildsObject)
{
    TestDialog dialog([](TestDialog& self) {
        ::InvalidateRect(self.button.GetSafeHwnd(), nullptr, TRUE);
        ::UpdateWindow(self.button.GetSafeHwnd());
        EXPECT_GT(self.button.drawings, 0);

        const HDC dc = ::CreateCompatibleDC(nullptr);
        const auto brush = reinterpret_cast<HBRUSH>(
            ::SendMessageA(self.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(self.label.GetSafeHwnd())));
        EXPECT_EQ(self.label.brush, brush);
        // A child without an object of ours gets the default processing.
        const auto other = reinterpret_cast<HBRUSH>(
            ::SendMessageA(self.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(::GetDlgItem(self.Handle(), IDOK))));
        EXPECT_NE(self.label.brush, other);
        ::DeleteDC(dc);
        self.EndDialog(0);
    });
    EXPECT_EQ(0, dialog.DoModal());
}

TEST(App, WinMainRunsTheApplicationObjectNamedAfterTheExecutable)
{
    nt_test::TempDir folder;
    nt_test::copyFileOrThrow(nt_test::moduleDir() + L"\\app_probe.exe", folder.file(L"Some_Name.exe"));
    const auto result =
        nt_test::runProcess(L"\"" + folder.file(L"Some_Name.exe") + L"\"", folder.path(), 15000);
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("Some_Name|this", nt_test::readFile(folder.file(L"probe.txt")));
}

} // namespace
