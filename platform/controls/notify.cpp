// The one sender of each kind of notification, and the control records' home in the extra
// window bytes.
#include "platform/layer.h"

#include <cstring>

namespace layer {

void notifyCommand(HWND control, HWND owner, int code) {
    Window* w = windowOf(control);
    if (!w)
        return;
    sendMessage(owner, WM_COMMAND, MAKEWPARAM(w->id, code), reinterpret_cast<LPARAM>(control));
}

void notifyScroll(HWND trackbar, HWND owner, int code, int position, bool vertical) {
    sendMessage(owner, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, position),
                reinterpret_cast<LPARAM>(trackbar));
}

void* controlRecord(HWND window) {
    Window* w = windowOf(window);
    if (!w || w->extra.size() < sizeof(void*))
        return nullptr;
    void* record;
    std::memcpy(&record, w->extra.data(), sizeof record);
    return record;
}

void setControlRecord(HWND window, void* record) {
    Window* w = windowOf(window);
    if (!w || w->extra.size() < sizeof(void*))
        return;
    std::memcpy(w->extra.data(), &record, sizeof record);
}

ControlKind kindOf(HWND window) {
    Window* w = windowOf(window);
    return w ? w->windowClass->kind : ControlKind::None;
}

} // namespace layer
