#include "platform/winapi.h"

#include "app/shell.h"
#include "panel/panel.h"
#include "panel/panel_choices.h"
#include "resources/resource_ids.h"

HWND polygonListBox = nullptr;
HWND redSlider = nullptr;
HWND greenSlider = nullptr;
HWND blueSlider = nullptr;
HWND alphaSlider = nullptr;
HWND sizeSlider = nullptr;
HWND alphaTestSlider = nullptr;
HWND redField = nullptr;
HWND greenField = nullptr;
HWND blueField = nullptr;
HWND alphaField = nullptr;
HWND sizeField = nullptr;
HWND alphaRefField = nullptr;
HWND colourSwatch = nullptr;
HWND textureFileField = nullptr;
HWND blendCheckBox = nullptr;
HWND alphaTestCheckBox = nullptr;
HWND texEnvCombo = nullptr;
HWND blendSrcCombo = nullptr;
HWND blendDstCombo = nullptr;
HWND alphaFuncCombo = nullptr;

namespace {

struct ComboContents {
    const PanelChoice* items;
    int count;
    int initialSelection; // matches a new Polygon's setting
};

constexpr ComboContents contents(std::span<const PanelChoice> items, int initialSelection) {
    return {items.data(), int(items.size()), initialSelection};
}

struct TrackbarRange {
    int minimum;
    int maximum;
};

const char* const trackbarClass = "msctls_trackbar32";
constexpr DWORD slider = TBS_BOTH | TBS_NOTICKS;
constexpr DWORD valueField = ES_CENTER;
constexpr DWORD combo = CBS_DROPDOWN | CBS_HASSTRINGS;
constexpr DWORD checkBox = BS_AUTOCHECKBOX | BS_LEFTTEXT;

struct ControlRow {
    const char* className;
    const char* text;
    int id;
    DWORD exStyle;
    DWORD style; // besides WS_CHILD | WS_VISIBLE
    int x, y, width, height;
    bool font;           // gets the stock GUI font
    HWND* handle;        // where the handle is kept, if anywhere
    TrackbarRange range; // trackbars only
    ComboContents combo; // combo boxes only
};

// clang-format off
// Creation order matters: each group box comes before what lies inside it and each label
// before the control it names.
const ControlRow panelRows[] = {
    {"BUTTON", "Polygons", 0, 0, BS_GROUPBOX, 527, 0, 310, 110, true, nullptr, {}, {}},
    {"LISTBOX", "PolyList", idPolyList, WS_EX_STATICEDGE, WS_VSCROLL | LBS_NOTIFY, 535, 18, 147, 90, true, &polygonListBox, {}, {}},
    {"BUTTON", "Add", idAdd, 0, BS_PUSHBUTTON, 687, 17, 70, 20, true, nullptr, {}, {}},
    {"BUTTON", "Rename", idRename, 0, BS_PUSHBUTTON, 760, 17, 70, 20, true, nullptr, {}, {}},
    {"BUTTON", "Move Up", idMoveUp, 0, BS_PUSHBUTTON, 687, 39, 70, 20, true, nullptr, {}, {}},
    {"BUTTON", "Duplicate", idDuplicate, 0, BS_PUSHBUTTON, 760, 39, 70, 20, true, nullptr, {}, {}},
    {"BUTTON", "Move Down", idMoveDown, 0, BS_PUSHBUTTON, 687, 61, 70, 20, true, nullptr, {}, {}},
    {"BUTTON", "Remove", idRemove, 0, BS_PUSHBUTTON, 760, 61, 70, 20, true, nullptr, {}, {}},
    {"BUTTON", "Spare", 0, 0, BS_PUSHBUTTON, 687, 83, 70, 20, true, nullptr, {}, {}},
    {"BUTTON", "Remove All", idRemoveAll, 0, BS_PUSHBUTTON, 760, 83, 70, 20, true, nullptr, {}, {}},
    {"BUTTON", "Polygon Appearance", 0, 0, BS_GROUPBOX, 527, 112, 310, 145, true, nullptr, {}, {}},
    {"STATIC", "Red", 0, 0, SS_LEFT, 535, 130, 30, 20, true, nullptr, {}, {}},
    {"STATIC", "Green", 0, 0, SS_LEFT, 535, 150, 30, 20, true, nullptr, {}, {}},
    {"STATIC", "Blue", 0, 0, SS_LEFT, 535, 170, 30, 20, true, nullptr, {}, {}},
    {"STATIC", "Alpha", 0, 0, SS_LEFT, 535, 190, 30, 20, true, nullptr, {}, {}},
    {"STATIC", "Size", 0, 0, SS_LEFT, 535, 210, 30, 20, true, nullptr, {}, {}},
    {"STATIC", "Texture", 0, 0, SS_LEFT, 535, 232, 40, 20, true, nullptr, {}, {}},
    {trackbarClass, "Red Slider", 0, 0, slider, 570, 127, 128, 20, false, &redSlider, {0, 255}, {}},
    {trackbarClass, "Green Slider", 0, 0, slider, 570, 147, 128, 20, false, &greenSlider, {0, 255}, {}},
    {trackbarClass, "Blue Slider", 0, 0, slider, 570, 167, 128, 20, false, &blueSlider, {0, 255}, {}},
    {trackbarClass, "Alpha Slider", 0, 0, slider, 570, 187, 128, 20, false, &alphaSlider, {0, 100}, {}},
    {trackbarClass, "Size Slider", 0, 0, slider, 570, 207, 128, 20, false, &sizeSlider, {1, 255}, {}},
    {"EDIT", "0 / 0.00", idRedField, WS_EX_STATICEDGE, valueField, 700, 128, 55, 17, true, &redField, {}, {}},
    {"EDIT", "0 / 0.00", idGreenField, WS_EX_STATICEDGE, valueField, 700, 148, 55, 17, true, &greenField, {}, {}},
    {"EDIT", "0 / 0.00", idBlueField, WS_EX_STATICEDGE, valueField, 700, 168, 55, 17, true, &blueField, {}, {}},
    {"EDIT", "0.00", idAlphaField, WS_EX_STATICEDGE, valueField, 700, 188, 55, 17, true, &alphaField, {}, {}},
    {"EDIT", "0px", idSizeField, WS_EX_STATICEDGE, valueField, 700, 208, 55, 17, true, &sizeField, {}, {}},
    {"STATIC", "ColFrame", 0, WS_EX_STATICEDGE, SS_BLACKRECT, 764, 128, 62, 58, false, &colourSwatch, {}, {}},
    {"EDIT", "None", idTextureFileField, WS_EX_STATICEDGE, ES_LEFT, 576, 230, 108, 18, true, &textureFileField, {}, {}},
    {"BUTTON", "Modify", idModifyTexture, 0, BS_PUSHBUTTON, 687, 229, 70, 20, true, nullptr, {}, {}},
    {"BUTTON", "Remove", idRemoveTexture, 0, BS_PUSHBUTTON, 760, 229, 70, 20, true, nullptr, {}, {}},
    {"BUTTON", "Texture Environment", 0, 0, BS_GROUPBOX, 527, 259, 310, 50, true, nullptr, {}, {}},
    {"STATIC", "TexEnv Param", 0, 0, SS_LEFT, 535, 281, 70, 20, true, nullptr, {}, {}},
    {"COMBOBOX", "glTexEnv", idTexEnvCombo, 0, combo, 620, 279, 210, 150, true, &texEnvCombo, {}, contents(texEnvChoices, 0)},
    {"BUTTON", "Blending", 0, 0, BS_GROUPBOX, 527, 310, 310, 100, true, nullptr, {}, {}},
    {"BUTTON", "Enable GL_BLEND", idBlendCheckBox, 0, checkBox, 535, 325, 120, 20, true, &blendCheckBox, {}, {}},
    {"STATIC", "Parameter 1", 0, 0, SS_LEFT, 535, 355, 70, 20, true, nullptr, {}, {}},
    {"COMBOBOX", "glBlend1", idBlendSrcCombo, 0, combo, 620, 350, 210, 150, true, &blendSrcCombo, {}, contents(blendSourceChoices, 0)},
    {"STATIC", "Parameter 2", 0, 0, SS_LEFT, 535, 385, 70, 20, true, nullptr, {}, {}},
    {"COMBOBOX", "glBlend2", idBlendDstCombo, 0, combo, 620, 380, 210, 150, true, &blendDstCombo, {}, contents(blendDestinationChoices, 0)},
    {"BUTTON", "Alpha Testing", 0, 0, BS_GROUPBOX, 527, 413, 310, 100, true, nullptr, {}, {}},
    {"BUTTON", "Enable GL_ALPHA_TEST", idAlphaTestCheckBox, 0, checkBox, 535, 429, 150, 20, true, &alphaTestCheckBox, {}, {}},
    {"STATIC", "Parameter 1", 0, 0, SS_LEFT, 535, 459, 70, 20, true, nullptr, {}, {}},
    {"COMBOBOX", "glAlpha1", idAlphaFuncCombo, 0, combo, 620, 454, 210, 150, true, &alphaFuncCombo, {}, contents(alphaFuncChoices, 7)},
    {"STATIC", "Parameter 2", 0, 0, SS_LEFT, 535, 489, 70, 20, true, nullptr, {}, {}},
    {"EDIT", "0.00", idAlphaRefField, WS_EX_STATICEDGE, valueField, 620, 487, 55, 17, true, &alphaRefField, {}, {}},
    {trackbarClass, "AlphaTest Slider", 0, 0, slider, 680, 487, 128, 20, false, &alphaTestSlider, {0, 100}, {}},
};
// clang-format on

bool isTrackbar(const ControlRow& row) {
    return row.className == trackbarClass;
}

void fillCombo(HWND box, const ComboContents& contents) {
    for (int i = 0; i < contents.count; ++i) {
        LRESULT index = SendMessageA(box, CB_ADDSTRING, 0, LPARAM(contents.items[i].text));
        SendMessageA(box, CB_SETITEMDATA, WPARAM(index), LPARAM(contents.items[i].value));
    }
    SendMessageA(box, CB_SETCURSEL, WPARAM(contents.initialSelection), 0);
}

void createControl(HWND parent, const ControlRow& row, HGDIOBJ font) {
    HWND control = CreateWindowExA(
        row.exStyle, row.className, row.text, WS_CHILD | WS_VISIBLE | row.style, row.x, row.y,
        row.width, row.height, parent, HMENU(INT_PTR(row.id)), instanceHandle, nullptr);
    if (row.font)
        SendMessageA(control, WM_SETFONT, WPARAM(font), 0);
    if (isTrackbar(row))
        SendMessageA(control, TBM_SETRANGE, TRUE, MAKELONG(row.range.minimum, row.range.maximum));
    if (row.combo.items)
        fillCombo(control, row.combo);
    if (row.handle)
        *row.handle = control;
}

} // namespace

int createPanel(HWND parent) {
    // The marks agree with the display options' start values.
    HMENU menu = GetMenu(parent);
    CheckMenuRadioItem(menu, idOrthographic, idPerspective, idOrthographic, MF_BYCOMMAND);
    CheckMenuRadioItem(menu, idTextureMappingOn, idTextureMappingOff, idTextureMappingOn,
                       MF_BYCOMMAND);
    CheckMenuRadioItem(menu, idLightingOn, idLightingOff, idLightingOff, MF_BYCOMMAND);

    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    for (const ControlRow& row : panelRows)
        createControl(parent, row, font);
    return 1;
}

void resetPanelHandles() {
    for (const ControlRow& row : panelRows)
        if (row.handle)
            *row.handle = nullptr;
}
