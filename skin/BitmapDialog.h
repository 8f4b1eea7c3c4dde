#pragma once
// A dialog painted with a bitmap, optionally cut to the bitmap's shape (key
// colour pixels are holes) and moved by dragging anywhere on its face.
#include "framework/Dialog.h"
#include "framework/Gdi.h"

// The display a face was drawn for: the dialog base units its controls were
// placed with and the pixels per inch its text was sized for.
struct FaceMetrics {
    SIZE baseUnits;
    int dpi;
};

class CBitmapDialog : public CDialog {
public:
    // The main window's template.
    static constexpr UINT kTemplateId = 102;

    CBitmapDialog() : CBitmapDialog(kTemplateId) {}

    // Loads the background and rebuilds the window region; false when the
    // resource does not load (the previous region stays).
    bool SetBackgroundBitmap(UINT resourceId);
    // Hands the window a new region: the full window rectangle, or when
    // shaped, the background's non-key pixels. Needs the window.
    void UpdateWindowRegion();

    // The face is fixed pixels while the template places the window and its
    // items in dialog units, which grow with the system's scale: places them
    // as on the face's display instead, and gives the items the template's
    // font at the face's size. Call before the region is built. False when the
    // template can't be read; the system's layout then stays.
    bool LayOutForFace(const FaceMetrics& face);

    void SetKeyColor(COLORREF color) { m_keyColor = color; }
    void SetShaped(bool shaped) { m_bShaped = shaped; }
    void SetClearStatics(bool clear) { m_bClearStatics = clear; }
    void SetDragAnywhere(bool drag) { m_bDragAnywhere = drag; }

protected:
    // For dialogs with their own template.
    explicit CBitmapDialog(UINT templateId) : CDialog(templateId) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnEraseBkgnd(HDC dc);
    LRESULT OnLButtonDown(WPARAM keys, LPARAM point);
    LRESULT OnCtlColorStatic(HDC dc, HWND child);
    HRGN CreateShapedRegion();
    void GiveItemsFontFor(int pointSize, int dpi);

    bool m_bShaped = false;
    bool m_bClearStatics = true;
    HBRUSH m_hollowBrush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); // stock: never released
    COLORREF m_keyColor = 0;
    bool m_bDragAnywhere = false;
    CBitmap m_bmpBackground; // empty while no background is loaded
    CFont m_itemFont;        // the items' font after LayOutForFace
};
