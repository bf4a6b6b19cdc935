// The headless backend's test-side API. Tests include this; the program never does.
//
// A test opens a Session, queues steps, then runs the program (WinMain) or any code that pumps
// messages. Whenever GetMessageA, in the main loop or in a modal dialog's nested loop, finds the
// queue empty and would block, the next step runs. A step injects input (which posts the
// messages the real platform posts) and/or asserts. When a wait finds no step left, the run
// ends: the wait returns as if the quit message had arrived (a modal loop passes it on), and
// scriptRanOut() tells so. Nothing here dispatches a message itself.
//
//   [x] windows, controls, menus, dialogs: the layer's own state, read back directly
//   [x] input by window handle: mouse, keys, typed text, list/combo picks, trackbar drags,
//       menu picks, close box
//   [x] scripted message box and file chooser answers, with a record of each call
//   [x] GL: EGL pbuffer 512 x 512, RGB, no alpha, 16-bit depth, Mesa surfaceless platform;
//       each WGL step can be made to fail; frames counted; pixels read back top row first
//   [x] SetTimer on a virtual clock: a pending timer comes due as soon as the program waits,
//       before the next step
//   [ ] no screen
#pragma once

#include "platform/backend.h"
#include "platform/winapi.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace headless {

// One test's use of the layer. Starts from a clean layer with the headless backend installed;
// the destructor destroys every remaining window and clears all layer and backend state
// (classes, menus, queue, focus, capture, loaded libraries, answers, records, GL). One at a time.
class Session {
  public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
};

// The backend for a whole-program run that has no script and answers message boxes and the
// file-open dialog as a user does: they are then the layer's own dialog windows, with the real
// platform's control ids. Install it with setBackend before WinMain.
const Backend& withDialogWindows();

// ---------------------------------------------------------------------------------------------
// Script

using Step = std::function<void()>;

void queueStep(Step step); // runs at the next blocking wait on an empty queue, in queue order
size_t stepsLeft();        // steps queued and not yet run
bool scriptRanOut();       // a blocking wait found no step left and ended the run

// ---------------------------------------------------------------------------------------------
// Finding windows (nullptr when none matches; the first in creation order otherwise)

HWND findWindow(const char* text, const char* className = nullptr, HWND parent = nullptr);
HWND findControl(HWND parent, int id);     // direct child with that control id
std::vector<HWND> childrenOf(HWND parent); // direct children, in creation order
std::vector<HWND> topLevelWindows();       // windows without a parent, creation order
HWND activeDialog();                       // innermost open modal dialog, or nullptr

// ---------------------------------------------------------------------------------------------
// Input by window handle. Mouse coordinates are client coordinates of the window given; the
// layer routes mouse input to the capture window while there is one.

void mouseDown(HWND window, int x, int y);
void mouseMove(HWND window, int x, int y);
void mouseUp(HWND window, int x, int y);
void click(HWND window);                 // left button down and up at its centre
void clickAt(HWND window, int x, int y); // down and up at a point

void keyDown(HWND window, UINT virtualKey); // window nullptr: the focus window
void keyUp(HWND window, UINT virtualKey);
void pressKey(HWND window, UINT virtualKey); // down, then up
// One key press per character: digits and letters by their virtual keys (upper case with
// Shift), space, Enter and Backspace by theirs, anything else as VK_PACKET.
void typeText(HWND window, const char* text);

void pickListItem(HWND listBox, int index);   // scrolls it into view, clicks the row
void pickComboItem(HWND comboBox, int index); // opens the drop-down, clicks the row
// Presses on the thumb, moves it to the pixel of `position` in `moves` equal steps, releases
// it. With more values than pixels some positions have no pixel of their own, as on the real
// control; keys reach every position.
void dragTrackbar(HWND trackbar, int position, int moves = 1);
void clickTrackbarChannel(HWND trackbar, bool afterThumb); // a page step, as a channel click

bool chooseMenuItem(HWND window, UINT id); // false (nothing posted) when grayed or absent
void closeWindow(HWND window);             // close box / Alt+F4
void expose(HWND window);                  // needs painting; WM_PAINT when idle

// ---------------------------------------------------------------------------------------------
// Message boxes. Each MessageBoxA takes the next queued answer; with none queued the user
// presses Enter, which answers the box's default button (MB_DEFBUTTON1 unless another is given:
// IDOK for MB_OK and MB_OKCANCEL, IDYES for MB_YESNO...).

void queueMessageBoxAnswer(int answer);

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    int answer;
    bool ownerDisabled; // the owner's top-level window was disabled while the box was up
};
const std::vector<MessageBoxCall>& messageBoxCalls();

// ---------------------------------------------------------------------------------------------
// File chooser. Each GetOpenFileNameA takes the next queued choice; with none queued the user
// cancels. A chosen path is written as the real dialog writes it (lpstrFile, lpstrFileTitle,
// nFileOffset, nFileExtension); a file that does not exist under OFN_FILEMUSTEXIST, or a buffer
// too small, fails the call as the real dialog does.

void queueFileChoice(const std::string& fullPath);
void queueFileCancel();

struct FileChooserCall {
    OPENFILENAMEA record;            // as passed in, before the answer; pointers not followed
    std::vector<std::string> filter; // lpstrFilter split at its zero bytes
    std::string title;               // lpstrTitle
    std::string defaultExtension;    // lpstrDefExt
    std::string initialDir;          // lpstrInitialDir
    BOOL result;
    std::string chosenPath; // empty when cancelled or failed
};
const std::vector<FileChooserCall>& fileChooserCalls();

// ---------------------------------------------------------------------------------------------
// GL

enum class GlStep { ChoosePixelFormat, SetPixelFormat, CreateContext, MakeCurrent };
void failGlStep(GlStep step);           // that step fails from now on
void failGetDc(const char* windowText); // GetDC fails for windows with that text
void failCreateWindow(const char* windowText); // CreateWindowExA fails for that text
int windowsMade(); // windows CreateWindowExA made (dialogs and their controls too)
const PIXELFORMATDESCRIPTOR& pixelFormatAsked(); // the last ChoosePixelFormat's request

bool glAvailable();    // the EGL pbuffer could be made on this machine
int framesPresented(); // successful SwapBuffers calls
// The last presented frame, 512 x 512, 3 bytes R, G, B per pixel, top row first; empty
// before the first.
const std::vector<uint8_t>& presentedFrame();
struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};
Rgb presentedPixel(int x, int y); // x right, y down from the top-left corner

// ---------------------------------------------------------------------------------------------
// Layer state of a window and its control

std::string windowText(HWND window); // edit text, combo edit field, button caption...
std::string className(HWND window);  // as registered ("Button", "TestBedWindow")
int controlId(HWND window);
DWORD windowStyle(HWND window);
DWORD windowExStyle(HWND window);
RECT windowRect(HWND window); // in the parent's client coordinates (screen for top-level)
bool isEnabled(HWND window);
bool isVisible(HWND window);
HFONT windowFont(HWND window); // from WM_SETFONT; nullptr when never set

int checkState(HWND button);     // BST_*
int selection(HWND listOrCombo); // -1 when none
std::vector<std::string> items(HWND listOrCombo);
std::vector<LPARAM> itemData(HWND listOrCombo);
int topIndex(HWND listBox);
bool comboDropped(HWND comboBox);
struct TrackbarState {
    int min, max, pos;
};
TrackbarState trackbar(HWND trackbar);
struct EditSelection {
    int start, end;
};
EditSelection editSelection(HWND edit);
bool hasFill(HWND window);              // a FillRect reached it through GetDC
COLORREF fillColour(HWND window);       // the last such fill
RECT fillArea(HWND window);             // its rectangle, clipped to the client area
// The ViewChange bits (platform/backend.h) a desktop view of the window was sent since the last
// call; a view that missed one would show stale state.
unsigned takeViewChanges(HWND window);
int staticBitmapId(HWND staticControl); // SS_BITMAP resource number, 0 if none

HWND focusWindow();
HWND captureWindow();

// Menus: mark and state of an item of the window's menu, by command id.
bool menuItemChecked(HWND window, UINT id);
bool menuItemRadio(HWND window, UINT id); // marked as a radio item (CheckMenuRadioItem)
bool menuItemEnabled(HWND window, UINT id);
std::string menuItemText(HWND window, UINT id);

int droppedInputCount(); // input refused because its window was disabled
int liveGdiObjects();    // brushes, fonts, bitmaps made and not deleted

// LoadLibraryA fails for this library from now on (as when it is missing).
void refuseLibrary(const char* fileName);

} // namespace headless
