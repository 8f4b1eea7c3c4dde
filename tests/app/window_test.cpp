// The main window as the user sees it: on any display scale it shows the face
// exactly as drawn, with every control on its place and the whole question
// on one line; the lamps, its icon and dragging by the face.
//
// The scale is the prefix's: NT_EXPECT_DPI names the one a run was set up
// with (96 when unset), and every test first checks that the system has it.
#include <gtest/gtest.h>

#include "program_driver.h"
#include "tests/res/designed_layout.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

using namespace nt_test;

namespace {

constexpr int kFaceWidth = 414;
constexpr int kFaceHeight = 369;
constexpr int kClientWidth = 480;
constexpr int kClientHeight = 380;
// The autostart panel's left edge on the face.
constexpr int kPanelLeft = 14;
constexpr char kQuestion[] = "Run Tallo Utility when the system starts";

int expectedDpi()
{
    const char* value = std::getenv("NT_EXPECT_DPI");
    return value != nullptr ? std::atoi(value) : 96;
}

int systemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

RECT clientRectOf(HWND dialog, int id)
{
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// 32-bit top-down pixels of a width × height area.
class Pixels {
public:
    Pixels(int width, int height) : width_(width)
    {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Pixels()
    {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;

    HDC dc() const { return dc_; }
    DWORD at(int x, int y) const
    {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }
    void paste(HBITMAP picture, const RECT& place)
    {
        BITMAP size{};
        GetObjectW(picture, sizeof size, &size);
        const int width = std::min<int>(size.bmWidth, place.right - place.left);
        const int height = std::min<int>(size.bmHeight, place.bottom - place.top);
        HDC source = CreateCompatibleDC(dc_);
        HGDIOBJ old = SelectObject(source, picture);
        FillRect(dc_, &place, GetSysColorBrush(COLOR_BTNFACE)); // where the picture is smaller
        BitBlt(dc_, place.left, place.top, width, height, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }

private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    DWORD* bits_ = nullptr;
};

// The window's pixels as they are on the screen.
void capture(HWND window, Pixels& into)
{
    RECT r{};
    GetWindowRect(window, &r);
    HDC screen = GetDC(nullptr);
    BitBlt(into.dc(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
}

// Where the window's shape on the screen first differs from the picture, as
// "x,y (of n differing)"; empty when it shows the picture, outside the rectangles left out.
std::string firstDifference(HWND window, const Pixels& expected, std::span<const RECT> leftOut = {})
{
    Pixels shown(kClientWidth, kClientHeight);
    capture(window, shown);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(window, shape);
    int differing = 0;
    std::string first;
    for (int y = 0; y < kFaceHeight; ++y) {
        for (int x = 0; x < kFaceWidth; ++x) {
            const POINT p{x, y};
            const bool skipped = std::any_of(leftOut.begin(), leftOut.end(),
                                             [&](const RECT& r) { return PtInRect(&r, p) != FALSE; });
            if (skipped || !PtInRegion(shape, x, y) || shown.at(x, y) == expected.at(x, y)) {
                continue;
            }
            if (differing++ == 0) {
                first = std::to_string(x) + "," + std::to_string(y);
            }
        }
    }
    DeleteObject(shape);
    return differing == 0 ? "" : first + " (of " + std::to_string(differing) + " differing)";
}

struct SkinFace {
    int id;
    int normal;
    int down;
};

// The window just after start on a Radeon HD 6900 series: Off selected, all
// lamps lit, nothing under the mouse.
std::vector<SkinFace> facesAtStart()
{
    std::vector<SkinFace> faces = {
        {IDC_HIDE, IDB_HIDE_NORMAL, IDB_HIDE_NORMAL},    {IDC_QUIT, IDB_QUIT_NORMAL, IDB_QUIT_NORMAL},
        {IDC_ON, IDB_ON_NORMAL, IDB_ON_NORMAL},          {IDC_OFF, IDB_OFF_DOWN, IDB_OFF_DOWN},
        {IDC_RESET, IDB_RESET_NORMAL, IDB_RESET_NORMAL}, {IDC_APPLY, IDB_APPLY_NORMAL, IDB_APPLY_NORMAL},
        {IDC_CLOSE, IDB_CLOSE_NORMAL, IDB_CLOSE_NORMAL},
    };
    for (int lamp = 0; lamp < NT_LED_COUNT; ++lamp) {
        const int lit = lamp < kRadeon6900.greenLamps ? IDB_LED_GREEN : IDB_LED_RED;
        faces.push_back({IDC_LED0 + lamp, lit, lit});
    }
    return faces;
}

class WindowScale : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(expectedDpi(), systemDpi()) << "the prefix was not set to the scale this run asks for";
        SetCursorPos(kClientWidth + 200, kClientHeight + 200); // no hover face
        app_ = std::make_unique<Running>(kRadeon6900);
        ASSERT_NE(nullptr, app_->window());
        Sleep(500); // painted
    }
    HWND window() const { return app_->window(); }

    std::unique_ptr<Running> app_;
};

TEST_F(WindowScale, WindowAndControlsLieOnTheFacePixels)
{
    RECT client{};
    RECT outer{};
    GetClientRect(window(), &client);
    GetWindowRect(window(), &outer);
    EXPECT_EQ(kClientWidth, client.right);
    EXPECT_EQ(kClientHeight, client.bottom);
    EXPECT_EQ(kClientWidth, outer.right - outer.left) << "no frame";

    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(window(), shape));
    for (const PixelRect& designed : kDesignedRects) {
        SCOPED_TRACE("control " + std::to_string(designed.id));
        const RECT r = clientRectOf(window(), designed.id);
        EXPECT_EQ(designed.x, r.left);
        EXPECT_EQ(designed.y, r.top);
        EXPECT_EQ(designed.height, r.bottom - r.top);
        if (designed.id != IDC_AUTOSTART_LABEL) { // widened to its text
            EXPECT_EQ(designed.width, r.right - r.left);
        }
        if (IsWindowVisible(GetDlgItem(window(), designed.id))) {
            HRGN control = CreateRectRgnIndirect(&r);
            EXPECT_EQ(NULLREGION, CombineRgn(control, control, shape, RGN_DIFF)) << "outside the shape";
            DeleteObject(control);
        }
    }
    DeleteObject(shape);
}

// Everything but the plain radio buttons and the question, which the system's
// text drawing paints, is the face and the buttons' pictures on their designed
// places, pixel for pixel.
// The face with each control's picture on its designed place, as the
// program's resources give them for the controls' present states.
void paintDesigned(Pixels& into, Running& app)
{
    HMODULE program = LoadLibraryExW((app.installed().folder() + L"\\Norvik_Tallo.exe").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, program);
    auto paste = [&](int id, const RECT& place) {
        const HBITMAP picture = static_cast<HBITMAP>(
            LoadImageW(program, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        into.paste(picture, place);
        DeleteObject(picture);
    };
    paste(IDB_FACE, RECT{0, 0, kFaceWidth, kFaceHeight});
    for (const SkinFace& face : facesAtStart()) {
        const PixelRect& place = designedRect(face.id);
        paste(checked(app.window(), face.id) ? face.down : face.normal,
              RECT{place.x, place.y, place.x + place.width, place.y + place.height});
    }
    FreeLibrary(program);
}

// Where the window's pixels first differ from the designed ones, leaving out
// what the system's own drawing paints: the question and the plain radio buttons.
std::string firstDesignDifference(Running& app)
{
    Pixels expected(kClientWidth, kClientHeight);
    paintDesigned(expected, app);
    const HWND window = app.window();
    const RECT systemDrawn[] = {clientRectOf(window, IDC_AUTOSTART_LABEL),
                                clientRectOf(window, IDC_RADIO_YES), clientRectOf(window, IDC_RADIO_NO)};
    return firstDifference(window, expected, systemDrawn);
}

TEST_F(WindowScale, TheSkinShowsExactlyAsDrawn)
{
    EXPECT_EQ("", firstDesignDifference(*app_));
}

bool isInk(DWORD pixel)
{
    return GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 300;
}

TEST_F(WindowScale, TheWholeQuestionShowsOnOneLineOnThePanel)
{
    // Bold 11 points, sized for the face's 96 pixels per inch.
    HFONT font = CreateFontA(-15, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    SIZE text{};
    GetTextExtentPoint32A(screen, kQuestion, static_cast<int>(sizeof kQuestion - 1), &text);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);

    const RECT label = clientRectOf(window(), IDC_AUTOSTART_LABEL);
    EXPECT_LE(text.cx, label.right - label.left) << "the text would wrap";
    EXPECT_GE(label.left, kPanelLeft);
    EXPECT_LE(label.right, NT_FACE_AUTOSTART_DIVIDER_X);

    // On the screen: the text, and nothing of a second line, whose tall
    // letters would show at the control's foot.
    Pixels shown(kClientWidth, kClientHeight);
    capture(window(), shown);
    int lowestInk = -1;
    for (int y = label.top; y < label.bottom; ++y) {
        for (int x = label.left; x < label.right; ++x) {
            if (isInk(shown.at(x, y))) {
                lowestInk = std::max(lowestInk, y);
            }
        }
    }
    EXPECT_GE(lowestInk, label.top) << "no text";
    EXPECT_LT(lowestInk, label.top + text.cy) << "a second line";
}

// Icons, lamps and dragging, at the prefix's own scale.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, app_.window()); }
    HWND window() const { return app_.window(); }

    Running app_{kRadeon6900};
};

// Minimised, the window paints its icon instead of the face; hidden and
// restored as the user does, it paints its face again whole. (Under Wine
// without a window manager a restore from minimised leaves the controls as the
// face's erase covered them; the user cannot minimise this window anyway.)
TEST_F(MainWindow, PaintsWhileMinimisedAndComesBack)
{
    SetCursorPos(kClientWidth + 200, kClientHeight + 200); // no hover face
    ASSERT_TRUE(app_.lampsBecome(app_.allLit())) << "the start-up reset lights the row";
    ShowWindow(window(), SW_MINIMIZE);
    ASSERT_TRUE(waitUntil([&] { return IsIconic(window()) != FALSE; }, 5000));
    EXPECT_TRUE(repaints(window()));
    ShowWindow(window(), SW_RESTORE);
    EXPECT_TRUE(waitUntil([&] { return IsIconic(window()) == FALSE && IsWindowVisible(window()); }, 5000));

    app_.press(IDC_HIDE);
    ASSERT_FALSE(IsWindowVisible(window()));
    command(window(), ID_SYSTRAY_RESTORE);
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(window()) != FALSE; }, 5000));
    // Wine may show the bits it kept; a whole repaint must give the face.
    RedrawWindow(window(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    std::string difference;
    EXPECT_TRUE(waitUntil([&] { return (difference = firstDesignDifference(app_)).empty(); }, 5000))
        << "the face is not back whole, first difference at " << difference;
    EXPECT_TRUE(app_.program().running());
}

// A lamp carries no command: a click toggles it until the row is set again.
TEST_F(MainWindow, AClickOnALampTogglesItUntilTheRowIsSetAgain)
{
    const int lamp = IDC_LED0 + 3;
    ASSERT_EQ(app_.allLit(), app_.lamps());
    app_.press(lamp);
    EXPECT_FALSE(checked(window(), lamp));
    EXPECT_EQ("11101111111111", app_.lamps());
    app_.press(lamp);
    EXPECT_TRUE(checked(window(), lamp));
    app_.press(lamp);
    EXPECT_TRUE(app_.writesSinceMark().empty()) << "a lamp reached the card";

    app_.press(IDC_RESET); // lights the whole row again
    EXPECT_TRUE(app_.lampsBecome(app_.allLit()));
    EXPECT_TRUE(app_.program().running());
}

void mouse(DWORD flags, POINT screen = {})
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        SetCursorPos(screen.x, screen.y);
    }
    SendInput(1, &input, sizeof input);
}

TEST_F(MainWindow, DraggingTheFaceMovesTheWindow)
{
    RECT before{};
    GetWindowRect(window(), &before);
    // On the header: the face, no control.
    POINT at{before.left + 250, before.top + 30};
    ASSERT_EQ(window(), WindowFromPoint(at));
    const POINT by{60, 40};

    SetCursorPos(at.x, at.y);
    Sleep(100);
    mouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(200);
    for (int step = 1; step <= 10; ++step) {
        mouse(MOUSEEVENTF_MOVE, POINT{at.x + by.x * step / 10, at.y + by.y * step / 10});
        Sleep(30);
    }
    mouse(MOUSEEVENTF_LEFTUP);

    RECT after{};
    EXPECT_TRUE(waitUntil(
        [&] {
            GetWindowRect(window(), &after);
            return after.left == before.left + by.x && after.top == before.top + by.y;
        },
        5000))
        << "window at " << after.left << "," << after.top;
    EXPECT_TRUE(repaints(window()));
}

} // namespace
