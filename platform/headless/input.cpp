// Input by window handle, as a user would give it: each call posts what the real platform
// posts; the program's loop takes it from there.
#include "platform/controls/control_state.h"
#include "platform/headless/headless.h"
#include "platform/layer.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace headless {

namespace {

RECT clientOf(HWND window) {
    RECT client{0, 0, 0, 0};
    GetClientRect(window, &client);
    return client;
}

void press(HWND window, UINT key) {
    inputKey(window, WM_KEYDOWN, key);
    inputKey(window, WM_KEYUP, key);
}

} // namespace

void mouseDown(HWND window, int x, int y) {
    inputMouse(window, WM_LBUTTONDOWN, x, y);
}
void mouseMove(HWND window, int x, int y) {
    inputMouse(window, WM_MOUSEMOVE, x, y);
}
void mouseUp(HWND window, int x, int y) {
    inputMouse(window, WM_LBUTTONUP, x, y);
}

void clickAt(HWND window, int x, int y) {
    mouseDown(window, x, y);
    mouseUp(window, x, y);
}

void click(HWND window) {
    RECT client = clientOf(window);
    clickAt(window, client.right / 2, client.bottom / 2);
}

void keyDown(HWND window, UINT virtualKey) {
    inputKey(window, WM_KEYDOWN, virtualKey);
}
void keyUp(HWND window, UINT virtualKey) {
    inputKey(window, WM_KEYUP, virtualKey);
}
void pressKey(HWND window, UINT virtualKey) {
    press(window, virtualKey);
}

void typeText(HWND window, const char* text) {
    for (const char* c = text; c && *c; ++c) {
        unsigned char ch = static_cast<unsigned char>(*c);
        if (std::isupper(ch)) {
            inputKey(window, WM_KEYDOWN, VK_SHIFT);
            press(window, ch);
            inputKey(window, WM_KEYUP, VK_SHIFT);
        } else if (std::islower(ch)) {
            press(window, std::toupper(ch));
        } else if (std::isdigit(ch)) {
            press(window, ch);
        } else if (ch == ' ') {
            press(window, VK_SPACE);
        } else if (ch == '\n' || ch == '\r') {
            press(window, VK_RETURN);
        } else if (ch == '\b') {
            press(window, VK_BACK);
        } else {
            inputPacketChar(window, *c);
        }
    }
}

void pickListItem(HWND listBox, int index) {
    const layer::ListBoxState* list = layer::listBoxState(listBox);
    if (!list)
        return;
    int rows = std::max(1, static_cast<int>(clientOf(listBox).bottom) / list->itemHeight);
    // Scrolling it into view is the scroll bar's business, which tells the owner nothing.
    if (index < list->topIndex || index >= list->topIndex + rows)
        SendMessageA(listBox, LB_SETTOPINDEX, index, 0);
    int y = (index - list->topIndex) * list->itemHeight + list->itemHeight / 2;
    clickAt(listBox, 4, y);
}

void pickComboItem(HWND comboBox, int index) {
    const layer::ComboBoxState* combo = layer::comboBoxState(comboBox);
    if (!combo)
        return;
    int width = clientOf(comboBox).right;
    if (!combo->dropped)
        clickAt(comboBox, width - layer::comboArrowWidth / 2, combo->fieldHeight / 2);
    clickAt(comboBox, 4, combo->fieldHeight + index * combo->itemHeight + combo->itemHeight / 2);
}

void dragTrackbar(HWND trackbar, int position, int moves) {
    const layer::TrackbarState* bar = layer::trackbarState(trackbar);
    if (!bar)
        return;
    RECT thumb = layer::trackbarThumbRect(trackbar);
    bool vertical = (GetWindowLongA(trackbar, GWL_STYLE) & TBS_VERT) != 0;
    int from = layer::trackbarPlaceOf(trackbar, bar->pos);
    int to = layer::trackbarPlaceOf(trackbar, position);
    int across = vertical ? (thumb.left + thumb.right) / 2 : (thumb.top + thumb.bottom) / 2;
    auto at = [&](int place, UINT message) {
        vertical ? inputMouse(trackbar, message, across, place)
                 : inputMouse(trackbar, message, place, across);
    };
    at(from, WM_LBUTTONDOWN);
    moves = std::max(1, moves);
    for (int i = 1; i <= moves; ++i)
        at(from + (to - from) * i / moves, WM_MOUSEMOVE);
    at(to, WM_LBUTTONUP);
}

void clickTrackbarChannel(HWND trackbar, bool afterThumb) {
    RECT channel = layer::trackbarChannelRect(trackbar), thumb = layer::trackbarThumbRect(trackbar);
    bool vertical = (GetWindowLongA(trackbar, GWL_STYLE) & TBS_VERT) != 0;
    // Inside the channel's ends, a pixel from the end, level with the thumb.
    int place = vertical ? (afterThumb ? channel.bottom - 2 : channel.top + 1)
                         : (afterThumb ? channel.right - 2 : channel.left + 1);
    int across = vertical ? (thumb.left + thumb.right) / 2 : (thumb.top + thumb.bottom) / 2;
    vertical ? clickAt(trackbar, across, place) : clickAt(trackbar, place, across);
}

bool chooseMenuItem(HWND window, UINT id) {
    return inputMenuPick(window, id);
}
void closeWindow(HWND window) {
    inputClose(window);
}
void expose(HWND window) {
    inputExpose(window);
}

} // namespace headless
