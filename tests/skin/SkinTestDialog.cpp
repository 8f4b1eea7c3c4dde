#include "SkinTestDialog.h"

#include <commctrl.h>

namespace {
constexpr UINT kRunBody = WM_APP + 1;
}

INT_PTR SkinTestDialog::Run(Body body)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    SkinTestDialog dialog(std::move(body));
    return dialog.DoModal();
}

void SkinTestDialog::DoDataExchange(CDataExchange* exchange)
{
    DDX_Control(exchange, IDC_PUSH, push);
    DDX_Control(exchange, IDC_CHECK, check);
    DDX_Control(exchange, IDC_RADIO1, radio1);
    DDX_Control(exchange, IDC_RADIO2, radio2);
    DDX_Control(exchange, IDC_RADIO3, radio3);
    DDX_Control(exchange, IDC_RADIO_OTHER, radioOther);
    DDX_Control(exchange, IDC_SMALL_FACE, smallFace);
    DDX_Control(exchange, IDC_LABEL, label);
}

BOOL SkinTestDialog::OnInitDialog()
{
    CBitmapDialog::OnInitDialog();
    ::SetWindowPos(m_hWnd, HWND_TOP, kLeft, kTop, 0, 0, SWP_NOSIZE);
    for (CxSkinButton* button : {&push, &check, &radio1, &radio2, &radio3}) {
        button->LoadSkinFaces(IDB_FACE_NORMAL, IDB_FACE_DOWN, IDB_FACE_HOVER, IDB_FACE_DISABLED);
    }
    radioOther.LoadSkinFaces(IDB_FACE_NORMAL, IDB_FACE_DOWN, 0, 0);
    smallFace.LoadSkinFaces(IDB_FACE_SMALL, IDB_FACE_SMALL, 0, 0);
    PostMessage(kRunBody);
    return TRUE;
}

LRESULT SkinTestDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kRunBody:
        pumpMessages(); // let the dialog paint first
        body_(*this);
        EndDialog(0);
        return 0;
    case WM_NCLBUTTONDOWN:
        // Recorded, not passed on: the system's move loop would wait for a
        // real mouse button.
        if (wParam == HTCAPTION) {
            captionPresses.push_back(lParam);
            return 0;
        }
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == NM_LABELCLICK) {
            notifications.push_back(*reinterpret_cast<const NMHDR*>(lParam));
            return 0;
        }
        break;
    default:
        break;
    }
    return CBitmapDialog::WindowProc(message, wParam, lParam);
}

COLORREF pixelAt(HWND window, int x, int y)
{
    ::UpdateWindow(window);
    pumpMessages();
    const HDC dc = ::GetDC(window);
    const COLORREF color = ::GetPixel(dc, x, y);
    ::ReleaseDC(window, dc);
    return color;
}

SIZE clientSize(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    return SIZE{client.right, client.bottom};
}

LPARAM pointParam(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}
