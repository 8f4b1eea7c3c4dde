#include "framework/Gdi.h"

#include "framework/WinApp.h"

#include <cstdlib>

bool CBitmap::LoadBitmap(UINT resourceId)
{
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId)));
}

bool CBitmap::CreateCompatibleBitmap(HDC reference, int width, int height)
{
    return Attach(::CreateCompatibleBitmap(reference, width, height));
}

SIZE CBitmap::GetSize() const
{
    BITMAP info{};
    if (IsEmpty() || ::GetObjectA(GetSafeHandle(), sizeof info, &info) == 0) {
        return SIZE{0, 0};
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

bool CBrush::CreateSolidBrush(COLORREF color)
{
    return Attach(::CreateSolidBrush(color));
}

bool CBrush::GetLogBrush(LOGBRUSH* out) const
{
    return !IsEmpty() && ::GetObjectA(GetSafeHandle(), sizeof *out, out) != 0;
}

bool CFont::CreateFontIndirect(const LOGFONTA& description)
{
    return Attach(::CreateFontIndirectA(&description));
}

bool CFont::CreatePointFont(int pointSizeTenths, const char* faceName, HDC device)
{
    const UniqueScreenDC screen(device == nullptr ? ::GetDC(nullptr) : nullptr);
    const HDC dc = device == nullptr ? screen.get() : device;
    // 72 points an inch, in tenths; the height is a character height
    // (negative) in the device's logical units.
    POINT size{0, ::MulDiv(::GetDeviceCaps(dc, LOGPIXELSY), pointSizeTenths, 720)};
    POINT origin{0, 0};
    ::DPtoLP(dc, &size, 1);
    ::DPtoLP(dc, &origin, 1);

    LOGFONTA description{};
    description.lfHeight = -std::abs(size.y - origin.y);
    description.lfCharSet = DEFAULT_CHARSET;
    if (faceName != nullptr) {
        ::lstrcpynA(description.lfFaceName, faceName, LF_FACESIZE);
    }
    return CreateFontIndirect(description);
}

bool CFont::GetLogFont(LOGFONTA* out) const
{
    return !IsEmpty() && ::GetObjectA(GetSafeHandle(), sizeof *out, out) != 0;
}

bool CRgn::CreateRectRgn(int left, int top, int right, int bottom)
{
    return Attach(::CreateRectRgn(left, top, right, bottom));
}

int CRgn::CombineRgn(HRGN first, HRGN second, int mode)
{
    return ::CombineRgn(GetSafeHandle(), first, second, mode);
}

bool CDC::CreateCompatibleDC(HDC reference)
{
    m_dc.reset(::CreateCompatibleDC(reference));
    return static_cast<bool>(m_dc);
}

bool CSelectedBitmap::LoadBitmap(UINT resourceId)
{
    return Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId)));
}

bool CSelectedBitmap::Attach(HBITMAP bitmap)
{
    DeleteObject();
    if (!m_bitmap.Attach(bitmap)) {
        return false;
    }
    const HGDIOBJ previous = m_dc.CreateCompatibleDC(nullptr) ? ::SelectObject(m_dc, bitmap) : nullptr;
    if (previous == nullptr || previous == HGDI_ERROR) {
        m_dc.DeleteDC();
        m_bitmap.DeleteObject();
        return false;
    }
    m_hPrevious = previous;
    m_size = m_bitmap.GetSize();
    return true;
}

void CSelectedBitmap::DeleteObject()
{
    if (m_hPrevious != nullptr) {
        ::SelectObject(m_dc, m_hPrevious);
        m_hPrevious = nullptr;
    }
    m_dc.DeleteDC();
    m_bitmap.DeleteObject();
    m_size = SIZE{0, 0};
}
