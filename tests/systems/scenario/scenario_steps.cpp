#include "tests/systems/scenario/scenario_steps.h"

#include "resources/resource_ids.h"

// The file-open dialog's file name field (dlgs.h): a combo box in some versions of the real
// dialog, an edit in others.
constexpr int fileNameCombo = 0x047c; // cmb13
constexpr int fileNameEdit = 0x0480;  // edt1

namespace scenario {

namespace {

HWND currentDialog = nullptr; // of the step being taken

struct Search {
    HWND parent;
    const char* text;
    HWND found;
    std::vector<HWND>* all;
};

BOOL CALLBACK collect(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (search->all) {
        if (GetParent(window) == search->parent)
            search->all->push_back(window);
        return TRUE;
    }
    char text[256];
    GetWindowTextA(window, text, sizeof text);
    if (std::string(text) != search->text)
        return TRUE;
    search->found = window;
    return FALSE;
}

LPARAM point(int x, int y) {
    return MAKELPARAM(x, y);
}

HWND panel(const char* text) {
    return childByText(mainWindow(), text);
}

HWND control(int id) {
    return GetDlgItem(mainWindow(), id);
}

HWND keyTarget() {
    HWND focus = GetFocus();
    return focus ? focus : mainWindow();
}

} // namespace

HWND mainWindow() {
    return FindWindowA("TestBedWindow", nullptr);
}

HWND childByText(HWND parent, const char* text) {
    Search search{parent, text, nullptr, nullptr};
    EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> directChildren(HWND parent) {
    std::vector<HWND> children;
    Search search{parent, nullptr, nullptr, &children};
    EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&search));
    return children;
}

HWND readyWindow(const char* caption) {
    HWND window = *caption ? FindWindowA("#32770", caption) : mainWindow();
    if (!window || !IsWindowVisible(window) || !IsWindowEnabled(window))
        return nullptr;
    return window;
}

HWND stepDialog() {
    return currentDialog;
}

void takeStep(const Step& step, HWND window) {
    currentDialog = *step.dialog ? window : nullptr;
    step.act();
}

void click(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, point(r.right / 2, r.bottom / 2));
    PostMessageA(window, WM_LBUTTONUP, 0, point(r.right / 2, r.bottom / 2));
}

void drag(HWND window, POINT from, POINT to, int moves) {
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, point(from.x, from.y));
    for (int i = 1; i <= moves; ++i) {
        int x = from.x + (to.x - from.x) * i / moves;
        int y = from.y + (to.y - from.y) * i / moves;
        PostMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, point(x, y));
    }
    PostMessageA(window, WM_LBUTTONUP, 0, point(to.x, to.y));
}

void dragThumb(HWND trackbar, int toX) {
    RECT thumb{};
    SendMessageA(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    POINT from{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    drag(trackbar, from, {toX, from.y}, 3);
}

void pressKey(HWND window, UINT virtualKey) {
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    PostMessageA(window, WM_KEYUP, virtualKey, LPARAM(0xC0000001u));
}

void pressKeys(HWND window, UINT virtualKey, int count) {
    for (int i = 0; i < count; ++i)
        pressKey(window, virtualKey);
}

void typeText(HWND window, const char* text) {
    for (; *text; ++text)
        PostMessageA(window, WM_CHAR, WPARAM(static_cast<unsigned char>(*text)), 1);
}

void menuPick(UINT id) {
    PostMessageA(mainWindow(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void clickDialogButton(int id) {
    if (HWND dialog = stepDialog())
        click(GetDlgItem(dialog, id));
}

void answerFileDialog(const char* name) {
    HWND dialog = stepDialog();
    if (!dialog)
        return;
    HWND field = GetDlgItem(dialog, fileNameCombo);
    if (!field)
        field = GetDlgItem(dialog, fileNameEdit);
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
    clickDialogButton(IDOK);
}

// clang-format off
const std::vector<Step>& steps() {
    static const std::vector<Step> all = {
        {"start", "", [] {}},
        {"Ins adds a polygon", "", [] { pressKey(keyTarget(), VK_INSERT); }},
        {"Add button", "", [] { click(control(idAdd)); }},
        {"Duplicate button", "", [] { click(control(idDuplicate)); }},
        {"PolyList: Up picks the entry above", "", [] { pressKey(control(idPolyList), VK_UP); }},
        {"Move Down button", "", [] { click(control(idMoveDown)); }},
        {"Pg Up moves it back up", "", [] { pressKey(keyTarget(), VK_PRIOR); }},
        {"F2 opens Rename", "", [] { pressKey(keyTarget(), VK_F2); }},
        {"Rename: a new name typed", "Rename polygon", [] {
            if (HWND dialog = stepDialog())
                typeText(GetDlgItem(dialog, idNewName), "Square");
        }},
        {"Rename: Enter", "Rename polygon", [] {
            if (HWND dialog = stepDialog())
                pressKey(GetDlgItem(dialog, idNewName), VK_RETURN);
        }},
        {"PolyList: End picks the last, drawn on top", "", [] { pressKey(control(idPolyList), VK_END); }},
        {"Red slider: End", "", [] { pressKey(panel("Red Slider"), VK_END); }},
        {"Green slider: Left x3", "", [] { pressKeys(panel("Green Slider"), VK_LEFT, 3); }},
        {"Blue slider: Home, Right x40", "", [] {
            pressKey(panel("Blue Slider"), VK_HOME);
            pressKeys(panel("Blue Slider"), VK_RIGHT, 40);
        }},
        {"Alpha slider: Left x25", "", [] { pressKeys(panel("Alpha Slider"), VK_LEFT, 25); }},
        {"Size slider: Left x20", "", [] { pressKeys(panel("Size Slider"), VK_LEFT, 20); }},
        {"Red slider: thumb dragged past its left end", "", [] { dragThumb(panel("Red Slider"), -40); }},
        {"Blend check box clicked", "", [] { click(control(idBlendCheckBox)); }},
        {"Blend source: Down x4", "", [] { pressKeys(control(idBlendSrcCombo), VK_DOWN, 4); }},
        {"Blend destination: Down x5", "", [] { pressKeys(control(idBlendDstCombo), VK_DOWN, 5); }},
        {"Alpha test check box clicked", "", [] { click(control(idAlphaTestCheckBox)); }},
        {"Alpha function: Up x3", "", [] { pressKeys(control(idAlphaFuncCombo), VK_UP, 3); }},
        {"Alpha test slider: Right x30", "", [] { pressKeys(panel("AlphaTest Slider"), VK_RIGHT, 30); }},
        {"Texture environment: Down", "", [] { pressKey(control(idTexEnvCombo), VK_DOWN); }},
        {"PolyList: Home picks the first", "", [] { pressKey(control(idPolyList), VK_HOME); }},
        {"PolyList: Down picks the next", "", [] { pressKey(control(idPolyList), VK_DOWN); }},
        {"2D drag moves the polygon", "", [] { drag(panel("glFrame"), {256, 256}, {300, 210}, 4); }},
        {"3 turns to perspective", "", [] { pressKey(keyTarget(), '3'); }},
        {"3D drag turns the view", "", [] { drag(panel("glFrame"), {256, 256}, {216, 286}, 4); }},
        {"Lighting: Enabled", "", [] { menuPick(idLightingOn); }},
        {"GL_COLOR_MATERIAL", "", [] { menuPick(idColorMaterial); }},
        {"Texture Mapping: Disabled", "", [] { menuPick(idTextureMappingOff); }},
        {"2 turns back to orthographic", "", [] { pressKey(keyTarget(), '2'); }},
        {"Lighting: Disabled", "", [] { menuPick(idLightingOff); }},
        {"Texture Mapping: Enabled", "", [] { menuPick(idTextureMappingOn); }},
        {"Modify opens Texture Map", "", [] { click(control(idModifyTexture)); }},
        {"Browse opens the file dialog", "Select Texture Map", [] { clickDialogButton(idBrowse); }},
        {"a picture whose sides are no powers of two", "Select Texture Image", [] { answerFileDialog("wide.bmp"); }},
        {"Invalid Texture: OK", "Invalid Texture", [] { clickDialogButton(IDOK); }},
        {"Browse again", "Select Texture Map", [] { clickDialogButton(idBrowse); }},
        {"a 64 x 64 picture", "Select Texture Image", [] { answerFileDialog("square.bmp"); }},
        {"Mag filter: Down", "Select Texture Map", [] {
            if (HWND dialog = stepDialog())
                pressKey(GetDlgItem(dialog, idMagFilter), VK_DOWN);
        }},
        {"Texture Map: OK", "Select Texture Map", [] { clickDialogButton(IDOK); }},
        {"Duplicate keeps the texture", "", [] { click(control(idDuplicate)); }},
        {"texture Remove button", "", [] { click(control(idRemoveTexture)); }},
        {"Help > About", "", [] { menuPick(idHelpAbout); }},
        {"About: Esc leaves it open", "About", [] {
            if (HWND dialog = stepDialog())
                pressKey(GetDlgItem(dialog, IDOK), VK_ESCAPE);
        }},
        {"About: OK", "About", [] { clickDialogButton(IDOK); }},
        {"File > Open", "", [] { menuPick(idFileOpen); }},
        {"Sorry: OK", "Sorry", [] { clickDialogButton(IDOK); }},
        {"Del removes the current polygon", "", [] { pressKey(keyTarget(), VK_DELETE); }},
        {"Remove button", "", [] { click(control(idRemove)); }},
        {"Remove All asks", "", [] { click(control(idRemoveAll)); }},
        {"Warning: Cancel keeps them", "Warning", [] { clickDialogButton(IDCANCEL); }},
        {"Remove All again", "", [] { click(control(idRemoveAll)); }},
        {"Warning: OK", "Warning", [] { clickDialogButton(IDOK); }},
        {"File > Exit", "", [] { menuPick(idFileExit); }},
    };
    return all;
}
// clang-format on

} // namespace scenario
