#include <gtest/gtest.h>

#include "SkinTestDialog.h"
#include "nt_test.h"
#include "skin/LabelLayout.h"

#include <string>
#include <vector>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

TEST(LabelFont, WeightAndLowByteRules)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        CLabel& label = dialog.label;
        EXPECT_EQ(FW_BOLD, label.SetBold(5).GetFontRecord().lfWeight);
        EXPECT_EQ(FW_NORMAL, label.SetBold(0).GetFontRecord().lfWeight);
        EXPECT_EQ(1, label.SetItalics(1).GetFontRecord().lfItalic);
        EXPECT_EQ(0, label.SetItalics(256).GetFontRecord().lfItalic);
        EXPECT_EQ(1, label.SetUnderlined(257).GetFontRecord().lfUnderline);
        EXPECT_EQ(0, label.SetUnderlined(0x100).GetFontRecord().lfUnderline);
    });
}

TEST(LabelFont, StartsFromTheControlsFontAndPointSizeChangesOnlyTheSize)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        LOGFONTA dialogFont{};
        const auto font = reinterpret_cast<HFONT>(::SendMessageA(dialog.Item(IDC_LABEL), WM_GETFONT, 0, 0));
        ASSERT_NE(nullptr, font);
        ::GetObjectA(font, sizeof dialogFont, &dialogFont);
        CLabel& label = dialog.label;
        EXPECT_STREQ(dialogFont.lfFaceName, label.GetFontRecord().lfFaceName);
        EXPECT_EQ(dialogFont.lfHeight, label.GetFontRecord().lfHeight);

        label.SetBold(TRUE).SetPointSize(11);
        const HDC screen = ::GetDC(nullptr);
        const int expected = -::MulDiv(11, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
        ::ReleaseDC(nullptr, screen);
        EXPECT_EQ(expected, label.GetFontRecord().lfHeight);
        EXPECT_EQ(FW_BOLD, label.GetFontRecord().lfWeight);
        EXPECT_STREQ(dialogFont.lfFaceName, label.GetFontRecord().lfFaceName);
    });
}

TEST(LabelFont, ALongTypefaceNameIsCutToTheField)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const std::string name(40, 'X');
        dialog.label.SetPointSize(9);
        const LONG height = dialog.label.GetFontRecord().lfHeight;
        const LOGFONTA& record = dialog.label.SetTypeface(name, ANSI_CHARSET).GetFontRecord();
        EXPECT_EQ(std::string(LF_FACESIZE - 1, 'X'), std::string(record.lfFaceName));
        EXPECT_EQ(ANSI_CHARSET, record.lfCharSet);
        EXPECT_EQ(height, record.lfHeight);
        // The label goes on working with what it kept.
        dialog.label.SetTypeface("Tahoma", DEFAULT_CHARSET).SetBold(TRUE);
        EXPECT_STREQ("Tahoma", dialog.label.GetFontRecord().lfFaceName);
    });
}

TEST(LabelFont, SettersBeforeTheLabelIsBoundDoNothingHarmful)
{
    CLabel label;
    label.SetCaption("nothing")
        .SetBold(TRUE)
        .SetPointSize(11)
        .SetClearBackground(TRUE)
        .BlinkText(TRUE)
        .SetWebLink(true, 0);
    EXPECT_EQ(nullptr, label.GetSafeHwnd());
    EXPECT_EQ(FW_BOLD, label.GetFontRecord().lfWeight);
}

TEST(LabelGradient, BandWidthsFollowTheLabelsWidth)
{
    const auto wide = gradientBands(0, 250, kBlack, kBlack);
    ASSERT_EQ(100u, wide.size());
    for (size_t i = 0; i < 99; ++i) {
        EXPECT_EQ(static_cast<int>(2 * i), wide[i].left);
        EXPECT_EQ(2, wide[i].right - wide[i].left);
    }
    EXPECT_EQ(198, wide[99].left);
    EXPECT_EQ(250, wide[99].right);

    const auto narrow = gradientBands(10, 60, kBlack, kBlack);
    ASSERT_EQ(50u, narrow.size());
    EXPECT_EQ(10, narrow.front().left);
    EXPECT_EQ(60, narrow.back().right);
    for (const auto& band : narrow) {
        EXPECT_EQ(1, band.right - band.left);
    }

    const auto single = gradientBands(5, 6, RGB(10, 20, 30), kWhite);
    EXPECT_EQ((std::vector<GradientBand>{{5, 6, RGB(10, 20, 30)}}), single);
    EXPECT_TRUE(gradientBands(5, 5, kBlack, kWhite).empty());
    EXPECT_TRUE(gradientBands(5, 0, kBlack, kWhite).empty());
}

TEST(LabelGradient, ChannelsStepInFixedPointAndStopOneStepShort)
{
    const auto up = gradientBands(0, 100, kBlack, RGB(255, 0, 0));
    EXPECT_EQ(RGB(0, 0, 0), up[0].color);
    EXPECT_EQ(RGB(2, 0, 0), up[1].color); // 652 / 256
    EXPECT_EQ(RGB(252, 0, 0), up[99].color);

    // Falling channels truncate towards zero as well.
    const auto down = gradientBands(0, 100, RGB(0, 255, 255), RGB(0, 0, 255));
    EXPECT_EQ(RGB(0, 255, 255), down[0].color);
    EXPECT_EQ(RGB(0, 2, 255), down[99].color);
}

TEST(LabelTextFormat, FollowsTheStaticStyle)
{
    EXPECT_EQ(UINT{DT_WORDBREAK}, labelTextFormat(SS_LEFT, "a"));
    EXPECT_EQ(UINT{DT_CENTER | DT_WORDBREAK}, labelTextFormat(SS_CENTER, "a"));
    EXPECT_EQ(UINT{DT_RIGHT | DT_WORDBREAK}, labelTextFormat(SS_RIGHT | SS_NOTIFY, "a"));
    EXPECT_EQ(0u, labelTextFormat(SS_LEFTNOWORDWRAP, "a"));
    EXPECT_EQ(UINT{DT_WORDBREAK}, labelTextFormat(SS_SIMPLE, ""));
    EXPECT_EQ(UINT{DT_WORDBREAK | DT_EXPANDTABS}, labelTextFormat(SS_LEFT, "a\tb"));
    EXPECT_EQ(UINT{DT_CENTER | DT_VCENTER | DT_SINGLELINE}, labelTextFormat(SS_CENTERIMAGE, "a\tb"));
    EXPECT_EQ(UINT{DT_CENTER}, labelTextFormat(SS_CENTERIMAGE | SS_RIGHT, "a\r\nb"));
}

// Pixels of the label in a colour, over its whole client area.
int countPixels(HWND window, COLORREF color)
{
    ::UpdateWindow(window);
    const SIZE size = clientSize(window);
    const HDC dc = ::GetDC(window);
    int count = 0;
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x) {
            count += ::GetPixel(dc, x, y) == color ? 1 : 0;
        }
    }
    ::ReleaseDC(window, dc);
    return count;
}

TEST(LabelPainting, SolidFillClearBackgroundAndGradient)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND window = dialog.Item(IDC_LABEL);
        const SIZE size = clientSize(window);
        CLabel& label = dialog.label;
        label.SetFill(RGB(0, 0, 255), 0, false);
        EXPECT_EQ(RGB(0, 0, 255), pixelAt(window, size.cx - 1, size.cy - 1));

        // The main window's configuration: black bold text, no background.
        label.SetForeColor(0)
            .SetCaption("Run Tallo Utility when the system starts")
            .SetBold(true)
            .SetPointSize(11);
        label.SetClearBackground(true);
        EXPECT_EQ("Run Tallo Utility when the system starts", label.GetWindowText());
        EXPECT_TRUE(::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
        EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), pixelAt(window, size.cx - 1, size.cy - 1));
        EXPECT_GT(countPixels(window, kBlack), 0);

        label.SetClearBackground(false).SetFill(kBlack, RGB(255, 0, 0), true);
        const auto bands = gradientBands(0, size.cx, kBlack, RGB(255, 0, 0));
        for (const auto& band : {bands.front(), bands[bands.size() / 2], bands.back()}) {
            EXPECT_EQ(band.color, pixelAt(window, band.right - 1, 0)) << band.left;
            EXPECT_EQ(band.color, pixelAt(window, band.right - 1, size.cy - 1)) << "bottom row " << band.left;
        }
    });
}

TEST(LabelBlinking, TextBlinkHidesTheTextInTheOffPhaseUntilStopped)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND window = dialog.Item(IDC_LABEL);
        CLabel& label = dialog.label;
        label.SetFill(kWhite, 0, false).SetForeColor(kBlack).SetCaption("Blink");
        ASSERT_GT(countPixels(window, kBlack), 0);

        label.BlinkText(TRUE);
        ::InvalidateRect(window, nullptr, TRUE);
        EXPECT_EQ(0, countPixels(window, kBlack)) << "off phase: text in the fill colour";
        EXPECT_TRUE(pumpUntil([&] { return countPixels(window, kBlack) > 0; }, 3000)) << "a tick shows it";
        EXPECT_TRUE(pumpUntil([&] { return countPixels(window, kBlack) == 0; }, 3000)) << "the next hides it";

        label.BlinkText(FALSE);
        ::InvalidateRect(window, nullptr, TRUE);
        EXPECT_GT(countPixels(window, kBlack), 0);
        EXPECT_FALSE(::KillTimer(window, 1)) << "the timer is stopped";
    });
}

TEST(LabelBlinking, BackgroundBlinkShowsTheLabelInvertedInTheOffPhase)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND window = dialog.Item(IDC_LABEL);
        const SIZE size = clientSize(window);
        CLabel& label = dialog.label;
        label.SetFill(kWhite, 0, false).SetForeColor(kBlack);

        label.BlinkBackground(TRUE);
        ::InvalidateRect(window, nullptr, TRUE);
        EXPECT_EQ(kBlack, pixelAt(window, size.cx - 1, size.cy - 1));
        EXPECT_TRUE(pumpUntil([&] { return pixelAt(window, size.cx - 1, size.cy - 1) == kWhite; }, 3000));
        EXPECT_TRUE(pumpUntil([&] { return pixelAt(window, size.cx - 1, size.cy - 1) == kBlack; }, 3000));

        label.BlinkBackground(FALSE);
        ::InvalidateRect(window, nullptr, TRUE);
        EXPECT_EQ(kWhite, pixelAt(window, size.cx - 1, size.cy - 1));
        EXPECT_FALSE(::KillTimer(window, 1));
    });
}

struct ShellCall {
    std::string verb;
    std::string file;
};
std::vector<ShellCall> shellCalls;

HINSTANCE WINAPI recordShellCall(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT)
{
    shellCalls.push_back({verb != nullptr ? verb : "(default)", file != nullptr ? file : ""});
    return reinterpret_cast<HINSTANCE>(33);
}

class LabelClick : public ::testing::Test {
protected:
    void SetUp() override
    {
        shellCalls.clear();
        CLabel::s_shellOpen = &recordShellCall;
    }
    void TearDown() override { CLabel::s_shellOpen = shellOpen_; }

private:
    CLabel::ShellOpen shellOpen_ = CLabel::s_shellOpen;
};

TEST_F(LabelClick, OpensTheLinkOrNotifiesTheParent)
{
    SkinTestDialog::Run([](SkinTestDialog& dialog) {
        const HWND window = dialog.Item(IDC_LABEL);
        CLabel& label = dialog.label;
        const auto clickLabel = [&] { ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, pointParam(1, 1)); };
        label.SetCaption("someone@example.org");

        clickLabel();
        EXPECT_TRUE(shellCalls.empty()) << "no link kind: nothing opens";

        label.SetWebLink(true, 0);
        EXPECT_TRUE(::GetWindowLongA(window, GWL_STYLE) & SS_NOTIFY);
        clickLabel();
        label.SetLinkTarget("https://example.org/");
        clickLabel();
        label.SetMailtoLink(true, 0);
        clickLabel();
        ASSERT_EQ(3u, shellCalls.size());
        EXPECT_EQ("open", shellCalls[0].verb);
        EXPECT_EQ("someone@example.org", shellCalls[0].file);
        EXPECT_EQ("https://example.org/", shellCalls[1].file);
        EXPECT_EQ("(default)", shellCalls[2].verb);
        EXPECT_EQ("mailto:someone@example.org", shellCalls[2].file);

        label.SetWebLink(true, 1);
        clickLabel();
        EXPECT_EQ(3u, shellCalls.size()) << "notify mode opens nothing";
        ASSERT_EQ(1u, dialog.notifications.size());
        EXPECT_EQ(window, dialog.notifications[0].hwndFrom);
        EXPECT_EQ(UINT_PTR{IDC_LABEL}, dialog.notifications[0].idFrom);
        EXPECT_EQ(NM_LABELCLICK, dialog.notifications[0].code);

        label.SetWebLink(false, 0);
        EXPECT_FALSE(::GetWindowLongA(window, GWL_STYLE) & SS_NOTIFY);
    });
}

TEST(LabelLink, AWebLinkOpensItsTargetThroughTheShell)
{
    nt_test::TempDir folder;
    nt_test::copyFileOrThrow(nt_test::moduleDir() + L"\\link_target.exe", folder.file(L"link_target.exe"));
    char target[MAX_PATH]{};
    ::WideCharToMultiByte(CP_ACP, 0, folder.file(L"link_target.exe").c_str(), -1, target, MAX_PATH, nullptr,
                          nullptr);
    SkinTestDialog::Run([&](SkinTestDialog& dialog) {
        dialog.label.SetWebLink(true, 0).SetLinkTarget(target);
        ::SendMessageA(dialog.Item(IDC_LABEL), WM_LBUTTONDOWN, MK_LBUTTON, pointParam(1, 1));
    });
    EXPECT_TRUE(nt_test::waitForFile(folder.file(L"opened.txt"), 15000));
}

} // namespace
