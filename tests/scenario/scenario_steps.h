// The user's actions of a scenario run, as the messages the real platform posts for them.
#pragma once

#include "platform/winapi.h"

#include <string>
#include <vector>

namespace scenario {

HWND mainWindow();                              // "TestBedWindow"
HWND childByText(HWND parent, const char* text); // any descendant with that window text
std::vector<HWND> directChildren(HWND parent);  // creation order
HWND openDialog();                              // the topmost visible dialog or box, if any

void click(HWND window);                          // left button down and up at its centre
void drag(HWND window, POINT from, POINT to, int moves);
void pressKey(HWND window, UINT virtualKey);      // down and up
void pressKeys(HWND window, UINT virtualKey, int count);
void typeText(HWND window, const char* text);     // WM_CHAR per character
void menuPick(UINT id);                           // WM_COMMAND from the main window's menu
void clickDialogButton(int id);                   // a button of the topmost dialog
// The file-open dialog: the name typed into its file name field, then its OK button.
void answerFileDialog(const char* name);

struct Step {
    const char* label;
    void (*act)();
};
const std::vector<Step>& steps();

} // namespace scenario
