#include "tests/support/user_input.h"

#include <cstdint>
#include <cstdlib>

namespace userInput {

namespace {

void send(INPUT input) {
    SendInput(1, &input, int(sizeof input));
}

// Absolute coordinates run 0..65535 across the screen; rounded up so that the system's scaling
// back to pixels, which rounds down, lands on the pixel meant.
LONG normalized(LONG pixel, int screenSize) {
    return LONG((int64_t(pixel) * 65536 + screenSize - 1) / screenSize);
}

void move(POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = normalized(screen.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = normalized(screen.y, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    send(input);
}

void button(DWORD flag) { // where the pointer is
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    send(input);
}

void key(UINT virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = WORD(virtualKey);
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    send(input);
}

UINT keyForCharacter(char c) {
    if (c >= 'a' && c <= 'z')
        return UINT(c - 'a' + 'A');
    if (c == '.')
        return VK_OEM_PERIOD;
    if (c == ' ')
        return VK_SPACE;
    return UINT(c); // digits are their own keys
}

} // namespace

POINT screenPoint(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    return point;
}

// Two clicks on one spot within the double-click time make a double-click, which depends on
// how fast each side runs: a second click there waits the time out first.
void waitOutDoubleClick(POINT screen) {
    static POINT last{-100, -100};
    static DWORD lastTime = 0;
    const DWORD since = GetTickCount() - lastTime, limit = GetDoubleClickTime() + 50;
    if (std::abs(screen.x - last.x) <= 4 && std::abs(screen.y - last.y) <= 4 && since < limit)
        Sleep(limit - since);
    last = screen;
    lastTime = GetTickCount();
}

void clickAt(POINT screen) {
    waitOutDoubleClick(screen);
    move(screen);
    button(MOUSEEVENTF_LEFTDOWN);
    button(MOUSEEVENTF_LEFTUP);
}

void dragAlong(POINT from, POINT to, int moves) {
    waitOutDoubleClick(from);
    move(from);
    button(MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= moves; ++i)
        move({from.x + (to.x - from.x) * i / moves, from.y + (to.y - from.y) * i / moves});
    button(MOUSEEVENTF_LEFTUP);
}

void pressKey(UINT virtualKey) {
    key(virtualKey, false);
    key(virtualKey, true);
}

void pressWith(UINT modifier, UINT virtualKey) {
    key(modifier, false);
    pressKey(virtualKey);
    key(modifier, true);
}

void typeText(const char* text) {
    for (; *text; ++text)
        pressKey(keyForCharacter(*text));
}

} // namespace userInput
