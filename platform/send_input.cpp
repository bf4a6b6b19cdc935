// SendInput, the pointer and the screen: synthesized input enters the same path as a backend's
// real input. The mouse goes to the window under the pointer (or to the capture, which the
// queue sees to as it routes it); the keyboard to the focus, as WM_SYSKEYDOWN while Alt is held.
#include "platform/backend.h"
#include "platform/layer.h"

#include <cstdint>

namespace layer {

namespace {

bool containsClientPoint(HWND window, POINT screen) {
    RECT client{};
    GetClientRect(window, &client);
    const POINT origin = clientOriginOnScreen(window);
    return screen.x >= origin.x && screen.y >= origin.y && screen.x < origin.x + client.right &&
           screen.y < origin.y + client.bottom;
}

// The deepest visible child under the point; later siblings lie over earlier ones (a group box
// is made before what it frames).
HWND deepestChildAt(HWND parent, POINT screen) {
    const Window* w = windowOf(parent);
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
        const Window* child = windowOf(*it);
        if (!child || !(child->style & WS_VISIBLE))
            continue;
        RECT r = child->rect;
        const POINT origin = clientOriginOnScreen(parent);
        OffsetRect(&r, origin.x, origin.y);
        if (PtInRect(&r, screen))
            return deepestChildAt(*it, screen);
    }
    return parent;
}

// The top-level window whose client area holds the point: the active one first (a modal
// dialog), then the newest.
HWND topLevelAt(POINT screen) {
    Layer& s = state();
    if (s.active && IsWindowVisible(s.active) && containsClientPoint(s.active, screen))
        return s.active;
    for (auto it = s.windows.rbegin(); it != s.windows.rend(); ++it) {
        const Window& w = *it->second;
        if (!w.parent && (w.style & WS_VISIBLE) && containsClientPoint(w.handle, screen))
            return w.handle;
    }
    return nullptr;
}

void sendMouse(const MOUSEINPUT& mouse) {
    Layer& s = state();
    if (mouse.dwFlags & MOUSEEVENTF_MOVE) {
        if (mouse.dwFlags & MOUSEEVENTF_ABSOLUTE) // 0..65535 across the screen
            s.cursor = {LONG((int64_t(mouse.dx) * screenWidth) >> 16),
                        LONG((int64_t(mouse.dy) * screenHeight) >> 16)};
        else
            s.cursor = {s.cursor.x + mouse.dx, s.cursor.y + mouse.dy};
    }
    HWND top = topLevelAt(s.cursor);
    HWND target = top ? deepestChildAt(top, s.cursor) : s.capture;
    if (!target)
        return; // over no window of ours and nothing captured: the desktop's
    const POINT origin = clientOriginOnScreen(target);
    const int x = s.cursor.x - origin.x, y = s.cursor.y - origin.y;
    if (mouse.dwFlags & MOUSEEVENTF_MOVE)
        inputMouse(target, WM_MOUSEMOVE, x, y);
    if (mouse.dwFlags & MOUSEEVENTF_LEFTDOWN)
        inputMouse(target, WM_LBUTTONDOWN, x, y);
    if (mouse.dwFlags & MOUSEEVENTF_LEFTUP)
        inputMouse(target, WM_LBUTTONUP, x, y);
}

void sendKey(const KEYBDINPUT& key) {
    Layer& s = state();
    const UINT vk = key.wVk & 0xFF;
    const bool up = key.dwFlags & KEYEVENTF_KEYUP;
    // Alt makes system keys of itself and of what is pressed with it, but not with Ctrl.
    const bool alt = vk == VK_MENU || (s.sentKeyDown[VK_MENU] && !s.sentKeyDown[VK_CONTROL]);
    s.sentKeyDown[vk] = !up;
    const UINT message = up ? (alt ? WM_SYSKEYUP : WM_KEYUP) : (alt ? WM_SYSKEYDOWN : WM_KEYDOWN);
    inputKey(nullptr, message, vk); // the focus when it is taken from the queue
}

} // namespace

} // namespace layer

UINT WINAPI SendInput(UINT count, LPINPUT inputs, int size) {
    if (!inputs || size != int(sizeof(INPUT)))
        return 0;
    for (UINT i = 0; i < count; ++i) {
        if (inputs[i].type == INPUT_MOUSE)
            layer::sendMouse(inputs[i].mi);
        else if (inputs[i].type == INPUT_KEYBOARD)
            layer::sendKey(inputs[i].ki);
        else
            return i;
    }
    return count;
}

BOOL WINAPI GetCursorPos(LPPOINT point) {
    if (!point)
        return FALSE;
    *point = layer::state().cursor;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y) {
    layer::state().cursor = {x, y};
    return TRUE;
}

HWND WINAPI WindowFromPoint(POINT point) {
    HWND top = layer::topLevelAt(point);
    return top ? layer::deepestChildAt(top, point) : nullptr;
}

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return layer::screenWidth;
    case SM_CYSCREEN: return layer::screenHeight;
    }
    return 0;
}
