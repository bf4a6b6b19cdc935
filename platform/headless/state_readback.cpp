// Read-back of the layer's state for tests: windows, controls, menus, focus and capture.
#include "platform/controls/control_state.h"
#include "platform/headless/headless.h"
#include "platform/layer.h"

namespace headless {

namespace {

const layer::Window* record(HWND window) {
    return layer::windowOf(window);
}

const layer::MenuItem* menuItem(HWND window, UINT id) {
    return layer::findMenuItem(GetMenu(window), id);
}

const layer::ItemList* itemListOf(HWND listOrCombo) {
    if (const layer::ListBoxState* list = layer::listBoxState(listOrCombo))
        return &list->items;
    if (const layer::ComboBoxState* combo = layer::comboBoxState(listOrCombo))
        return &combo->items;
    return nullptr;
}

} // namespace

HWND findWindow(const char* text, const char* className, HWND parent) {
    for (auto& [handle, w] : layer::state().windows) {
        if (text && w->text != text)
            continue;
        if (className && !layer::equalsNoCase(w->windowClass->name, className))
            continue;
        if (parent && w->parent != parent)
            continue;
        return w->handle;
    }
    return nullptr;
}

HWND findControl(HWND parent, int id) {
    return GetDlgItem(parent, id);
}

std::vector<HWND> childrenOf(HWND parent) {
    const layer::Window* w = record(parent);
    return w ? w->children : std::vector<HWND>{};
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> windows;
    for (auto& [handle, w] : layer::state().windows) {
        if (!w->parent)
            windows.push_back(w->handle);
    }
    return windows;
}

HWND activeDialog() {
    const auto& dialogs = layer::state().modalDialogs;
    return dialogs.empty() ? nullptr : dialogs.back();
}

std::string windowText(HWND window) {
    return record(window) ? record(window)->text : std::string();
}
std::string className(HWND window) {
    return record(window) ? record(window)->windowClass->name : std::string();
}
int controlId(HWND window) {
    return record(window) ? record(window)->id : 0;
}
DWORD windowStyle(HWND window) {
    return record(window) ? record(window)->style : 0;
}
DWORD windowExStyle(HWND window) {
    return record(window) ? record(window)->exStyle : 0;
}
RECT windowRect(HWND window) {
    return record(window) ? record(window)->rect : RECT{0, 0, 0, 0};
}
bool isEnabled(HWND window) {
    return IsWindowEnabled(window);
}
bool isVisible(HWND window) {
    return IsWindowVisible(window);
}
HFONT windowFont(HWND window) {
    return record(window) ? record(window)->font : nullptr;
}

int checkState(HWND button) {
    const layer::ButtonState* state = layer::buttonState(button);
    return state ? state->check : -1;
}

int selection(HWND listOrCombo) {
    const layer::ItemList* list = itemListOf(listOrCombo);
    return list ? list->selected : -1;
}

std::vector<std::string> items(HWND listOrCombo) {
    std::vector<std::string> texts;
    if (const layer::ItemList* list = itemListOf(listOrCombo)) {
        for (const layer::ListItem& item : list->entries)
            texts.push_back(item.text);
    }
    return texts;
}

std::vector<LPARAM> itemData(HWND listOrCombo) {
    std::vector<LPARAM> data;
    if (const layer::ItemList* list = itemListOf(listOrCombo)) {
        for (const layer::ListItem& item : list->entries)
            data.push_back(item.data);
    }
    return data;
}

int topIndex(HWND listBox) {
    const layer::ListBoxState* list = layer::listBoxState(listBox);
    return list ? list->topIndex : 0;
}

bool comboDropped(HWND comboBox) {
    const layer::ComboBoxState* combo = layer::comboBoxState(comboBox);
    return combo && combo->dropped;
}

TrackbarState trackbar(HWND window) {
    const layer::TrackbarState* bar = layer::trackbarState(window);
    if (!bar)
        return TrackbarState{.min = 0, .max = 0, .pos = 0};
    return TrackbarState{.min = bar->min, .max = bar->max, .pos = bar->pos};
}

EditSelection editSelection(HWND edit) {
    if (const layer::EditState* state = layer::editState(edit))
        return {state->selStart, state->selEnd};
    if (const layer::ComboBoxState* combo = layer::comboBoxState(edit))
        return {combo->selStart, combo->selEnd};
    return {0, 0};
}

bool hasFill(HWND window) {
    return record(window) && record(window)->hasFill;
}
COLORREF fillColour(HWND window) {
    return record(window) ? record(window)->fillColour : 0;
}
RECT fillArea(HWND window) {
    return record(window) ? record(window)->fillArea : RECT{};
}
int staticBitmapId(HWND staticControl) {
    return record(staticControl) ? record(staticControl)->bitmapId : 0;
}

HWND focusWindow() {
    return GetFocus();
}
HWND captureWindow() {
    return GetCapture();
}

bool menuItemChecked(HWND window, UINT id) {
    const layer::MenuItem* item = menuItem(window, id);
    return item && (item->state & MF_CHECKED);
}

bool menuItemRadio(HWND window, UINT id) {
    const layer::MenuItem* item = menuItem(window, id);
    return item && item->radio;
}

bool menuItemEnabled(HWND window, UINT id) {
    const layer::MenuItem* item = menuItem(window, id);
    return item && !(item->state & (MF_GRAYED | MF_DISABLED));
}

std::string menuItemText(HWND window, UINT id) {
    const layer::MenuItem* item = menuItem(window, id);
    return item ? item->text : std::string();
}

int droppedInputCount() {
    return layer::state().droppedInput;
}

int liveGdiObjects() {
    int live = 0;
    for (auto& [handle, object] : layer::state().gdiObjects)
        live += !object->stock;
    return live;
}

void refuseLibrary(const char* fileName) {
    layer::state().refusedLibraries.insert(layer::lowerCase(fileName));
}

} // namespace headless
