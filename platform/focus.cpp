// Keyboard focus and mouse capture.
#include "platform/layer.h"

using namespace layer;

HWND WINAPI SetFocus(HWND window) {
    Layer& s = state();
    if (window) {
        Window* w = windowOf(window);
        if (!w || w->destroying)
            return nullptr;
        // A disabled window, or one inside a disabled window, cannot take the focus.
        for (Window* a = w; a; a = windowOf(a->parent)) {
            if (a->style & WS_DISABLED)
                return nullptr;
            if (!a->parent)
                break;
        }
        HWND top = topLevelOf(window);
        if (s.active != top)
            activate(top);
        if (!windowOf(window))
            return nullptr;
    }
    HWND old = s.focus;
    if (old == window)
        return old;
    s.focus = window;
    if (old && windowOf(old)) {
        sendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
        viewChanged(old, ViewFocus);
    }
    if (window && s.focus == window && windowOf(window)) {
        sendMessage(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
        viewChanged(window, ViewFocus);
    }
    return old;
}

HWND WINAPI GetFocus(void) {
    return state().focus;
}

HWND WINAPI GetActiveWindow(void) {
    return state().active;
}

HWND WINAPI SetCapture(HWND window) {
    Layer& s = state();
    if (!windowOf(window))
        return nullptr;
    HWND old = s.capture;
    s.capture = window;
    if (old && old != window && windowOf(old))
        sendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(window));
    return old;
}

BOOL WINAPI ReleaseCapture(void) {
    Layer& s = state();
    HWND old = s.capture;
    s.capture = nullptr;
    if (old && windowOf(old))
        sendMessage(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    return state().capture;
}
