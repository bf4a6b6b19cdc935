// The user's actions of a scenario run, as the messages the real platform posts for them.
#pragma once

#include "platform/winapi.h"

#include <string>
#include <vector>

namespace scenario {

HWND mainWindow();                              // "TestBedWindow"
HWND childByText(HWND parent, const char* text); // any descendant with that window text
std::vector<HWND> directChildren(HWND parent);  // creation order
// The dialog a step acts in, when it is open and not covered by another (which would disable
// it); for an empty caption the main window, when no dialog or box covers it. Else nullptr.
HWND readyWindow(const char* caption);
HWND stepDialog(); // the dialog the step being taken acts in

void click(HWND window);                          // left button down and up at its centre
void drag(HWND window, POINT from, POINT to, int moves);
void dragThumb(HWND trackbar, int toX); // pressed on its thumb, moved to toX, released
void pressKey(HWND window, UINT virtualKey);      // down and up
void pressKeys(HWND window, UINT virtualKey, int count);
void typeText(HWND window, const char* text);     // WM_CHAR per character
void menuPick(UINT id);                           // WM_COMMAND from the main window's menu
void clickDialogButton(int id);                   // a button of the topmost dialog
// The file-open dialog: the name typed into its file name field, then its OK button.
void answerFileDialog(const char* name);

// One action, taken once the dialog it acts in is open: `dialog` is that dialog's caption, or
// empty for the main window with no dialog or box open.
struct Step {
    const char* label;
    const char* dialog;
    void (*act)();
};
const std::vector<Step>& steps();
void takeStep(const Step& step, HWND window); // window: readyWindow(step.dialog)

} // namespace scenario
