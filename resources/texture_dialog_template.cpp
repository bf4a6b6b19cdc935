#include "resources/texture_dialog_template.h"

#include "resources/resource_ids.h"

namespace {

constexpr DWORD visible = WS_VISIBLE;

// Template order is the tab order: OK first, so it takes the focus on opening.
const DialogItemResource textureItems[] = {
    {"BUTTON", "OK", IDOK, visible | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 6, 138, 78, 23},
    {"BUTTON", "Cancel", IDCANCEL, visible | BS_PUSHBUTTON | WS_TABSTOP, 0, 90, 138, 79, 23},
    {"COMBOBOX", "", idMinFilter, visible | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0, 43, 99, 124,
     39},
    {"STATIC", "Min Filter", -1, visible | SS_LEFT | WS_GROUP, 0, 7, 102, 34, 10},
    {"STATIC", "Mag Filter", -1, visible | SS_LEFT | WS_GROUP, 0, 7, 118, 34, 10},
    {"COMBOBOX", "", idMagFilter, visible | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0, 43, 115, 124,
     35},
    {"BUTTON", "Image details", -1, visible | BS_GROUPBOX, 0, 6, 6, 163, 61},
    {"BUTTON", "Browse", idBrowse, visible | BS_PUSHBUTTON | WS_TABSTOP, 0, 12, 72, 151, 20},
    {"LISTBOX", "", idImageDetails,
     visible | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, 12, 18,
     151, 43},
};

} // namespace

// No system menu: the dialog closes through OK or Cancel only.
const DialogResource textureDialogTemplate = {
    textureDialogResource,
    "Select Texture Map",
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT | DS_FIXEDSYS,
    0,
    0,
    0,
    176,
    175,
    "MS Shell Dlg",
    8,
    textureItems,
};
