// Resources as data: menus, accelerator tables, dialog templates, strings, icons and bitmaps,
// looked up by number as the real platform looks up compiled resources.
//
// A module is one ResourceTable. Its instance handle (moduleInstance) is what the program
// passes as HINSTANCE to LoadMenuA, LoadAcceleratorsA, DialogBoxParamA, LoadStringA,
// LoadIconA and LoadBitmapA. The program's resources/ folder defines
//
//     extern const ResourceTable programResources;   // (this header declares it)
//     const ResourceTable programResources = {...};
//
// and the layer's `main` (library qf_main) starts WinMain with moduleInstance(programResources).
// Layer tests define tables of their own.
#pragma once

#include "platform/winapi.h"

#include <cstdint>
#include <span>

// One entry of a menu, written flat in the order of the resource script. A pop-up is an entry
// followed by entries one level deeper; those are its items.
struct MenuItemResource {
    int depth;        // 0 = on the menu bar, 1 = in a bar entry's drop-down, 2 = in a sub-menu
    const char* text; // nullptr for a separator; a tab separates the key hint
    UINT id;          // command id; 0 for a pop-up or a separator
    UINT flags;       // initial state: MF_CHECKED, MF_GRAYED or 0
};

struct MenuResource {
    WORD id;
    std::span<const MenuItemResource> items;
};

struct AcceleratorResource {
    WORD id;
    std::span<const ACCEL> entries; // in table order; the first match wins
};

// One control of a dialog template. Positions and sizes are in dialog units.
struct DialogItemResource {
    const char* className; // "BUTTON", "STATIC", "EDIT", "LISTBOX", "COMBOBOX", "RICHEDIT",
                           // "msctls_trackbar32" (any case)
    const char* text;      // window text; an SS_BITMAP static names its bitmap with
                           // MAKEINTRESOURCEA(number)
    int id;                // control id; -1 for none
    DWORD style;           // as written in the template; the layer adds WS_CHILD
    DWORD exStyle = 0;
    short x, y, cx, cy;
};

struct DialogResource {
    WORD id = 0;
    const char* caption;
    DWORD style; // WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT ...
    DWORD exStyle = 0;
    short x = 0, y = 0, cx, cy;                // dialog units
    const char* fontName;                      // "MS Shell Dlg"
    WORD pointSize;                            // 8
    std::span<const DialogItemResource> items; // template order, which is also the tab order
};

struct StringResource {
    UINT id;
    const char* text;
};

// A picture: top row first, 3 bytes R, G, B per pixel, no padding. Pixels may be null when
// only the size matters.
struct BitmapResource {
    WORD id;
    int width;
    int height;
    const uint8_t* rgb;
};

struct IconResource {
    WORD id;
    std::span<const BitmapResource> images; // the sizes of one icon group (ids unused here)
};

struct ResourceTable {
    std::span<const MenuResource> menus;
    std::span<const AcceleratorResource> accelerators;
    std::span<const DialogResource> dialogs;
    std::span<const StringResource> strings;
    std::span<const IconResource> icons;
    std::span<const BitmapResource> bitmaps;
};

// The instance handle of the module whose resources are `table`. The same table always gives
// the same handle; the table must outlive every use of the handle.
HINSTANCE moduleInstance(const ResourceTable& table);

// The program's own resources, defined in resources/.
extern const ResourceTable programResources;
