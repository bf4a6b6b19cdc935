// MessageBoxA on the desktop: a modal FLTK window with the caption, the icon, the text and the
// buttons of the type, centred over its owner; Enter presses the focused (first: the default)
// button, Esc and the close box answer Cancel where the box has one.
#pragma once

#include "platform/winapi.h"

#include <string>
#include <vector>

class Fl_Window;

// The buttons of a MessageBoxA type, as their answers in the order shown.
std::vector<int> messageBoxButtons(UINT type);
// The text shown on the button that gives `answer`.
const char* messageBoxButtonText(int answer);
// What Esc or the close box answer; 0 when the box has no way out but its buttons.
int messageBoxEscapeAnswer(UINT type);
// Index of the default button among messageBoxButtons(type).
int messageBoxDefaultButton(UINT type);

int showMessageBox(Fl_Window* owner, const char* text, const char* caption, UINT type);
