// A seeded random session: at each step it looks at what is on the screen now (the active
// window, its controls, an open drop-down list) and takes one ordinary action by weight, as a
// person would, through SendInput. The same seed takes the same actions wherever what is shown
// agrees, so two implementations of the API can be held to each other step by step.
#pragma once

#include "platform/winapi.h"

#include <string>
#include <vector>

#include "tests/support/seeded_random.h"

namespace scenario {

HWND mainWindow();                             // "TestBedWindow"
std::vector<HWND> directChildren(HWND parent); // in creation order
std::string classOf(HWND window);              // lower case
std::string textOf(HWND window);
// The focus as the user sees it: in a combo box's own edit field (the real platform makes one,
// id 1001, for a combo box that can be typed in; ours draws the field itself) it is the
// combo box's.
HWND focusedControl();
// The main window's menu bar driven from the keyboard: the highlighted items, bar first
// ("&File > &Open"), empty when the bar is not in use.
std::string openMenuPath();
// The window the next action acts in: the one holding the focus (a dialog or box while one is
// open), else the active one.
HWND actingWindow();
bool isFileDialog(HWND window);
bool isFileNameField(HWND control); // the file dialog's name field, whichever control it is
bool isMessageBox(HWND window);
HWND messageTextOf(HWND box); // a message box's text control

// Writes the pictures whose names the file-open dialog is given (each format, one whose sides
// are no powers of two, a truncated one); false when one cannot be written.
bool writeSessionFiles();

// Takes one action and returns it in words ("in Rename polygon: key Tab").
std::string takeRandomStep(SeededRandom& random);

} // namespace scenario
