#include "skin/BitmapDialog.h"

#include "framework/DialogTemplate.h"
#include "framework/WinApp.h"
#include "skin/RegionRuns.h"

namespace {
constexpr char kTrackbarClass[] = "msctls_trackbar32";
constexpr int kPointsPerInch = 72;

// Moves a window to a place given in its parent's client coordinates (the
// screen's for a top-level window). One already there is left alone, so on
// the face's own scale the layout moves and repaints nothing.
void placeWindow(HWND window, const RECT& place)
{
    RECT now{};
    ::GetWindowRect(window, &now);
    ::MapWindowPoints(HWND_DESKTOP, ::GetAncestor(window, GA_PARENT), reinterpret_cast<POINT*>(&now), 2);
    if (::EqualRect(&now, &place)) {
        return;
    }
    ::SetWindowPos(window, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}
} // namespace

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

bool CBitmapDialog::LayOutForFace(const FaceMetrics& face)
{
    const std::optional<DialogTemplateLayout> layout =
        loadDialogTemplate(AfxGetResourceHandle(), TemplateId());
    if (!layout) {
        return false;
    }
    RECT window = pixelsFor(DialogUnitRect{0, 0, layout->place.cx, layout->place.cy}, face.baseUnits);
    ::AdjustWindowRectEx(&window, GetStyle(), FALSE, GetExStyle());
    RECT now{};
    GetWindowRect(&now);
    ::OffsetRect(&window, now.left - window.left, now.top - window.top);
    placeWindow(m_hWnd, window);
    for (const DialogTemplateItem& item : layout->items) {
        const HWND child = ::GetDlgItem(m_hWnd, item.id);
        if (child != nullptr) {
            placeWindow(child, pixelsFor(item.place, face.baseUnits));
        }
    }
    if (layout->pointSize > 0) {
        GiveItemsFontFor(layout->pointSize, face.dpi);
    }
    return true;
}

void CBitmapDialog::GiveItemsFontFor(int pointSize, int dpi)
{
    LOGFONTA description{};
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (dialogFont == nullptr || ::GetObjectA(dialogFont, sizeof description, &description) == 0) {
        return;
    }
    description.lfHeight = -::MulDiv(pointSize, dpi, kPointsPerInch);
    description.lfWidth = 0;
    CFont font;
    if (!font.CreateFontIndirect(description)) {
        return;
    }
    for (HWND item = ::GetWindow(m_hWnd, GW_CHILD); item != nullptr; item = ::GetWindow(item, GW_HWNDNEXT)) {
        ::SendMessageA(item, WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), FALSE);
    }
    // The items no longer use the font they had before.
    m_itemFont.Attach(font.Detach());
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
