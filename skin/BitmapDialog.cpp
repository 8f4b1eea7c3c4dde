#include "skin/BitmapDialog.h"

#include "skin/RegionRuns.h"

namespace {
constexpr char kTrackbarClass[] = "msctls_trackbar32";
}

bool CBitmapDialog::SetBackgroundBitmap(UINT resourceId)
{
    m_bmpBackground.DeleteObject();
    if (!m_bmpBackground.LoadBitmap(resourceId)) {
        return false;
    }
    UpdateWindowRegion();
    return true;
}

void CBitmapDialog::UpdateWindowRegion()
{
    // Without a background there is no shape to cut: the full rectangle.
    HRGN region = m_bShaped && !m_bmpBackground.IsEmpty() ? CreateShapedRegion() : nullptr;
    if (region == nullptr) {
        RECT window{};
        GetWindowRect(&window);
        region = ::CreateRectRgn(0, 0, window.right - window.left, window.bottom - window.top);
    }
    // The window owns the region from here on.
    if (!::SetWindowRgn(m_hWnd, region, TRUE)) {
        ::DeleteObject(region);
    }
}

HRGN CBitmapDialog::CreateShapedRegion()
{
    RECT window{};
    RECT client{};
    GetWindowRect(&window);
    GetClientRect(&client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;

    // The window's frame (nothing for a window without caption and border);
    // the runs are measured from the window's top-left corner.
    CRgn shape;
    CRgn clientArea;
    shape.CreateRectRgn(0, 0, window.right - window.left, window.bottom - window.top);
    clientArea.CreateRectRgn(0, 0, clientWidth, clientHeight);
    shape.CombineRgn(shape, clientArea, RGN_XOR);

    CRgn runs;
    if (!runs.Attach(createRunRegion(m_bmpBackground, m_keyColor, clientWidth, clientHeight))) {
        return nullptr;
    }
    shape.CombineRgn(shape, runs, RGN_OR);
    return shape.Detach();
}

LRESULT CBitmapDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_LBUTTONDOWN:
        return OnLButtonDown(wParam, lParam);
    // Static-style children ask with this one; the other colour requests
    // take the default handling unchanged.
    case WM_CTLCOLORSTATIC:
        return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default:
        return CDialog::WindowProc(message, wParam, lParam);
    }
}

LRESULT CBitmapDialog::OnEraseBkgnd(HDC dc)
{
    if (m_bmpBackground.IsEmpty()) {
        return CDialog::WindowProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    }
    RECT client{};
    GetClientRect(&client);
    CDC memory;
    memory.CreateCompatibleDC(dc);
    ScopedSelect select(memory, m_bmpBackground);
    ::BitBlt(dc, 0, 0, client.right - client.left, client.bottom - client.top, memory, 0, 0, SRCCOPY);
    return TRUE;
}

LRESULT CBitmapDialog::OnLButtonDown(WPARAM keys, LPARAM point)
{
    const LRESULT result = CDialog::WindowProc(WM_LBUTTONDOWN, keys, point);
    if (m_bDragAnywhere) {
        // The system moves the window as if its caption had been pressed.
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, point);
    }
    return result;
}

LRESULT CBitmapDialog::OnCtlColorStatic(HDC dc, HWND child)
{
    const LRESULT brush =
        CDialog::WindowProc(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    if (!m_bClearStatics) {
        return brush;
    }
    char className[256]{};
    ::GetClassNameA(child, className, sizeof className);
    // A trackbar paints its channel with the brush; hollow would leave trails.
    if (::lstrcmpA(className, kTrackbarClass) == 0) {
        return brush;
    }
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(m_hollowBrush);
}
