#include "tests/platform/test_resources.h"

#include <array>

namespace {

const std::array<ACCEL, 4> accelerators{{{FVIRTKEY | FNOINVERT, VK_INSERT, 3},
                                         {FVIRTKEY | FNOINVERT, '2', 40027},
                                         {FVIRTKEY | FNOINVERT, VK_PRIOR, 5},
                                         {FVIRTKEY | FNOINVERT, VK_NEXT, 6}}};
const std::array<AcceleratorResource, 1> acceleratorTables{{{testAccelerators, accelerators}}};

const std::array<MenuItemResource, 12> menuItems{{
    {0, "&File", 0, 0},
    {1, "&Open", 40016, 0},
    {1, nullptr, 0, 0},
    {1, "E&xit", 40019, 0},
    {0, "&Options", 0, 0},
    {1, "&Display Mode", 0, 0},
    {2, "Orthographic (&2D)\t2", 40027, 0},
    {2, "Perspective (&3D)\t3", 40028, 0},
    {1, "Lighting", 0, 0},
    {2, "Enabled", 40060, 0},
    {2, "Disabled", 40061, MF_GRAYED},
    {2, "GL_COLOR_MATERIAL", 40062, 0},
}};
const std::array<MenuResource, 1> menus{{{testMenu, menuItems}}};

const std::array<DialogItemResource, 6> renameItems{{
    {"BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 0, 42, 72, 50, 14},
    {"BUTTON", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 0, 96, 72, 50, 14},
    {"STATIC", "Old Name", -1, SS_LEFT | WS_VISIBLE, 0, 12, 9, 54, 12},
    {"STATIC", "New Name", -1, SS_LEFT | WS_VISIBLE, 0, 12, 39, 54, 12},
    {"EDIT", "", 1013, ES_AUTOHSCROLL | WS_DISABLED | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 0, 12,
     18, 162, 12},
    {"EDIT", "", 1032, ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 0, 12, 48, 162, 12},
}};

const std::array<DialogItemResource, 3> aboutItems{{
    {"BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP, 0, 120, 154, 50, 14},
    {"STATIC", MAKEINTRESOURCEA(bannerBitmap), -1, SS_BITMAP | SS_REALSIZEIMAGE | WS_VISIBLE,
     WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, 7, 7, 279, 54},
    {"RICHEDIT", "", 1036, ES_MULTILINE | ES_AUTOHSCROLL | WS_BORDER | WS_VISIBLE | WS_TABSTOP, 0,
     7, 72, 279, 73},
}};

constexpr DWORD popupStyle = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;

const std::array<DialogResource, 3> dialogs{{
    {renameDialog, "Rename polygon", popupStyle | DS_CENTER, 0, 0, 0, 186, 95, "MS Shell Dlg", 8,
     renameItems},
    {aboutDialog, "About", popupStyle | WS_SYSMENU | DS_CENTER | DS_NOFAILCREATE, 0, 0, 0, 293, 175,
     "MS Shell Dlg", 8, aboutItems},
    {strictDialog, "Strict", popupStyle | DS_CENTER, 0, 0, 0, 293, 175, "MS Shell Dlg", 8,
     aboutItems},
}};

const std::array<StringResource, 1> strings{{{historyString, "Version History\n\nv0.94"}}};
const std::array<BitmapResource, 1> bitmaps{{{bannerBitmap, 413, 81, nullptr}}};

const ResourceTable testResources{menus, acceleratorTables, dialogs, strings, {}, bitmaps};

} // namespace

HINSTANCE testModule() {
    return moduleInstance(testResources);
}
