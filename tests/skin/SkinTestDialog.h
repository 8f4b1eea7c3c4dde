#pragma once
// A caption-less bitmap dialog with one of each widget, for tests that need
// real windows: the test body runs once the dialog is up, then it ends.
#include "skin/BitmapDialog.h"
#include "skin/Label.h"
#include "skin/SkinButton.h"
#include "nt_test.h"
#include "skin_test_ids.h"

#include <windows.h>

#include <functional>
#include <vector>

class SkinTestDialog : public CBitmapDialog {
public:
    using Body = std::function<void(SkinTestDialog&)>;
    static constexpr int kLeft = 100;
    static constexpr int kTop = 100;

    // Returns the dialog's result: 0 when the body ran to its end.
    static INT_PTR Run(Body body);

    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND Handle() const { return m_hWnd; }

    CxSkinButton push;
    CxSkinButton check;
    CxSkinButton radio1;
    CxSkinButton radio2;
    CxSkinButton radio3;
    CxSkinButton radioOther;
    CxSkinButton smallFace;
    CLabel label;

    std::vector<LPARAM> captionPresses; // lParam of each WM_NCLBUTTONDOWN with HTCAPTION
    std::vector<NMHDR> notifications;   // NM_LABELCLICK only

protected:
    explicit SkinTestDialog(Body body) : CBitmapDialog(IDD_SKIN_TEST), body_(std::move(body)) {}
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Body body_;
};

using nt_test::pumpFor;
using nt_test::pumpMessages;
using nt_test::pumpUntil;
// The colour on screen at a client point of the window, after it has painted.
COLORREF pixelAt(HWND window, int x, int y);
SIZE clientSize(HWND window);
LPARAM pointParam(int x, int y);
