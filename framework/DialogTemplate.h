#pragma once
// The places a dialog template gives its window and items, in dialog units,
// read from the resource without creating the dialog.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <vector>

struct DialogUnitRect {
    int x;
    int y;
    int cx;
    int cy;
    bool operator==(const DialogUnitRect&) const = default;
};

struct DialogTemplateItem {
    int id;
    DialogUnitRect place;
    bool operator==(const DialogTemplateItem&) const = default;
};

struct DialogTemplateLayout {
    DialogUnitRect place;
    int pointSize;                         // of the template's font; 0 without one
    std::vector<DialogTemplateItem> items; // in template order
};

// An extended template (DIALOGEX); nothing when the bytes are not a whole one.
std::optional<DialogTemplateLayout> readDialogTemplate(const void* data, std::size_t size);
// The template resource of the module; nothing when it is missing or unreadable.
std::optional<DialogTemplateLayout> loadDialogTemplate(HINSTANCE module, UINT templateId);

// Pixels for a place in dialog units at the given base units (the average
// character width and the height of the dialog's font), rounded as the
// system's dialog manager rounds them.
RECT pixelsFor(const DialogUnitRect& place, SIZE baseUnits);
