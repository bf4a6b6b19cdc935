// A person's input, through SendInput: the pointer moved to a point of the screen and the left
// button pressed and released there, keys pressed by their virtual keys, Shift and Alt held
// around another as a person holds them. The system decides where each goes.
#pragma once

#include "platform/winapi.h"

namespace userInput {

POINT screenPoint(HWND window, int x, int y); // a point of the window's client area
void clickAt(POINT screen);
void dragAlong(POINT from, POINT to, int moves); // pressed at from, moved, released at to
void pressKey(UINT virtualKey);
void pressWith(UINT modifier, UINT virtualKey); // modifier down, the key, modifier up
void typeText(const char* text);                // lower-case letters, digits, '.', ' '

} // namespace userInput
