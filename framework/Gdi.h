#pragma once
// Owners of GDI objects and device contexts. Each release rule has its own
// type: a GDI object is deleted, a memory DC deleted with DeleteDC, the
// screen's DC released with ReleaseDC, a paint DC ended with EndPaint, and a
// selected object selected back out.
//
// Declare a ScopedSelect after the objects it selects, so that it is undone
// before they are deleted: GDI must never delete an object still selected.
#include "common/UniqueHandle.h"

#include <windows.h>

namespace gdi_detail {
inline void deleteObject(HGDIOBJ object)
{
    ::DeleteObject(object);
}
inline void releaseScreenDC(HDC dc)
{
    ::ReleaseDC(nullptr, dc);
}
} // namespace gdi_detail

// The whole screen's device context from GetDC(nullptr): released, not deleted.
using UniqueScreenDC = UniqueHandle<HDC, &gdi_detail::releaseScreenDC>;

template <typename Handle>
class CGdiObject {
public:
    Handle GetSafeHandle() const { return m_hObject.get(); }
    operator Handle() const { return m_hObject.get(); }
    bool IsEmpty() const { return !m_hObject; }

    // Takes ownership; an object held before is deleted.
    bool Attach(Handle handle)
    {
        m_hObject.reset(handle);
        return handle != nullptr;
    }
    // Hands ownership to the caller (e.g. a region given to a window).
    Handle Detach() { return m_hObject.release(); }
    void DeleteObject() { m_hObject.reset(); }

private:
    UniqueHandle<Handle, &gdi_detail::deleteObject> m_hObject;
};

class CBitmap : public CGdiObject<HBITMAP> {
public:
    // From the program's bitmap resources; false leaves the bitmap empty.
    bool LoadBitmap(UINT resourceId);
    bool CreateCompatibleBitmap(HDC reference, int width, int height);
    // Width and height; zero size for an empty bitmap.
    SIZE GetSize() const;
};

class CBrush : public CGdiObject<HBRUSH> {
public:
    bool CreateSolidBrush(COLORREF color);
    bool GetLogBrush(LOGBRUSH* out) const;
};

class CFont : public CGdiObject<HFONT> {
public:
    bool CreateFontIndirect(const LOGFONTA& description);
    // pointSizeTenths in tenths of a point, converted for the given device
    // (the screen when null).
    bool CreatePointFont(int pointSizeTenths, const char* faceName, HDC device = nullptr);
    bool GetLogFont(LOGFONTA* out) const;
};

class CRgn : public CGdiObject<HRGN> {
public:
    bool CreateRectRgn(int left, int top, int right, int bottom);
    // As CombineRgn into this region; returns the region's new complexity.
    int CombineRgn(HRGN first, HRGN second, int mode);
};

// A memory device context.
class CDC {
public:
    bool CreateCompatibleDC(HDC reference);
    void DeleteDC() { m_dc.reset(); }
    HDC GetSafeHdc() const { return m_dc.get(); }
    operator HDC() const { return m_dc.get(); }

private:
    UniqueCreatedDC m_dc;
};

// A bitmap kept selected into a memory device context of its own, ready to be
// copied from, for a picture that is drawn again and again: selecting a small
// bitmap for each copy costs more than the copy (under Wine, a third more for
// each paint of a lamp). The bitmap is selected out before it is deleted.
class CSelectedBitmap {
public:
    CSelectedBitmap() = default;
    ~CSelectedBitmap() { DeleteObject(); }
    CSelectedBitmap(const CSelectedBitmap&) = delete;
    CSelectedBitmap& operator=(const CSelectedBitmap&) = delete;

    // From the program's bitmap resources; false leaves it empty.
    bool LoadBitmap(UINT resourceId);
    // Takes ownership; false, and the bitmap deleted, when it cannot be selected.
    bool Attach(HBITMAP bitmap);
    void DeleteObject();
    bool IsEmpty() const { return m_bitmap.IsEmpty(); }
    SIZE GetSize() const { return m_size; }
    // The memory device context holding the bitmap; null while empty.
    HDC GetSafeHdc() const { return m_dc.GetSafeHdc(); }

private:
    CBitmap m_bitmap;
    CDC m_dc;
    HGDIOBJ m_hPrevious = nullptr; // not owned: the DC's own bitmap, selected back
    SIZE m_size{0, 0};
};

// The device context of one WM_PAINT, between BeginPaint and EndPaint.
class CPaintDC {
public:
    explicit CPaintDC(HWND window) : m_hWnd(window), m_hDC(::BeginPaint(window, &m_ps)) {}
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd; // not owned
    HDC m_hDC;   // released by EndPaint
};

// Selects an object into a device context and selects the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~ScopedSelect()
    {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            ::SelectObject(dc_, previous_);
        }
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;           // not owned
    HGDIOBJ previous_; // not owned: belonged to the DC before
};
