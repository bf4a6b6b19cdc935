// The window classes the layer provides: the USER controls and the dialog class from the start,
// the trackbar once the common controls are initialised, RICHEDIT while its library is loaded.
#include "platform/controls/control_state.h"
#include "platform/layer.h"

#include <algorithm>

namespace layer {

namespace {

void addClass(const char* name, WNDPROC proc, ControlKind kind, int extra, bool fromLibrary,
              UINT style = CS_DBLCLKS | CS_PARENTDC) {
    if (findClass(name))
        return;
    Layer& s = state();
    auto cls = std::make_unique<WindowClass>();
    cls->name = name;
    cls->atom = s.nextAtom++;
    cls->style = style;
    cls->proc = proc;
    cls->windowExtra = extra;
    cls->instance = nullptr;
    cls->icon = nullptr;
    cls->cursor = nullptr;
    cls->background = nullptr;
    cls->kind = kind;
    cls->fromLibrary = fromLibrary;
    s.classes.push_back(std::move(cls));
}

template <typename Record> const Record* recordIf(HWND window, ControlKind kind) {
    return kindOf(window) == kind ? static_cast<const Record*>(controlRecord(window)) : nullptr;
}

} // namespace

void registerSystemClasses() {
    constexpr int recordSlot = sizeof(void*);
    addClass("Button", buttonProc, ControlKind::Button, recordSlot, false);
    addClass("Static", staticProc, ControlKind::Static, recordSlot, false);
    addClass("Edit", editProc, ControlKind::Edit, recordSlot, false);
    addClass("ListBox", listBoxProc, ControlKind::ListBox, recordSlot, false);
    addClass("ComboBox", comboBoxProc, ControlKind::ComboBox, recordSlot, false);
    addClass("#32770", DefDlgProcA, ControlKind::Dialog, DLGWINDOWEXTRA, false, CS_SAVEBITS);
}

void registerTrackbarClass() {
    addClass(TRACKBAR_CLASSA, trackbarProc, ControlKind::Trackbar, sizeof(void*), false);
}

void registerRichEditClass() {
    addClass(RICHEDIT_CLASS10A, editProc, ControlKind::Edit, sizeof(void*), true);
}

void unregisterLibraryClasses() {
    auto& classes = state().classes;
    for (auto it = classes.begin(); it != classes.end();) {
        bool inUse = false;
        for (auto& [handle, window] : state().windows)
            inUse |= window->windowClass == it->get();
        it = (*it)->fromLibrary && !inUse ? classes.erase(it) : std::next(it);
    }
}

const ButtonState* buttonState(HWND w) {
    return recordIf<ButtonState>(w, ControlKind::Button);
}
const StaticState* staticState(HWND w) {
    return recordIf<StaticState>(w, ControlKind::Static);
}
const EditState* editState(HWND w) {
    return recordIf<EditState>(w, ControlKind::Edit);
}
const ListBoxState* listBoxState(HWND w) {
    return recordIf<ListBoxState>(w, ControlKind::ListBox);
}
const ComboBoxState* comboBoxState(HWND w) {
    return recordIf<ComboBoxState>(w, ControlKind::ComboBox);
}
const TrackbarState* trackbarState(HWND w) {
    return recordIf<TrackbarState>(w, ControlKind::Trackbar);
}

} // namespace layer
