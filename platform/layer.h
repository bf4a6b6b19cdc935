// The layer's own state: every window, class, menu, queue, focus, capture, GDI object and GL
// context of the one thread. Layer sources, backends and the headless test API include this;
// the program never does.
#pragma once

#include "platform/backend.h"
#include "platform/resource_data.h"
#include "platform/winapi.h"

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace layer {

// The controls and windows whose procedures the layer itself provides.
enum class ControlKind { None, Button, Static, Edit, ListBox, ComboBox, Trackbar, Dialog };

struct WindowClass {
    std::string name; // as registered
    ATOM atom;
    UINT style; // CS_*
    WNDPROC proc;
    int windowExtra; // extra window bytes (cbWndExtra)
    HINSTANCE instance;
    HICON icon;
    HCURSOR cursor;
    HBRUSH background;
    std::string menuName;
    ControlKind kind; // None for the program's own classes
    bool fromLibrary; // registered by a loaded library (RICHEDIT); goes when it is freed
};

struct DialogState;

struct Window {
    HWND handle;
    WindowClass* windowClass;
    std::string text;
    DWORD style;
    DWORD exStyle;
    int id;       // control id (children only)
    RECT rect;    // in the parent's client coordinates; screen for top-level
    HWND parent;  // children
    HWND owner;   // top-level windows owned by another (dialogs)
    WNDPROC proc; // current procedure; subclassing replaces it
    HINSTANCE instance;
    HMENU menu;                 // menu bar of a top-level window
    HFONT font;                 // from WM_SETFONT (kept by DefWindowProc's callers)
    LONG_PTR userData;          // GWLP_USERDATA
    std::vector<uint8_t> extra; // the class's extra window bytes
    std::vector<HWND> children; // creation order
    bool needsPaint = false;    // WM_PAINT due once the queue is empty
    bool destroying = false;    // WM_DESTROY sent; no new children, no focus
    bool created = false;       // WM_CREATE returned; the view exists
    bool hasFill = false;       // a FillRect reached it through GetDC
    COLORREF fillColour = 0;
    RECT fillArea{};            // the last fill's rectangle, clipped to the client area
    HDC ownDc = nullptr;                 // CS_OWNDC: the one device context
    int pixelFormat = 0;                 // SetPixelFormat; 0 = none
    int bitmapId = 0;                    // SS_BITMAP statics: the bitmap resource shown
    std::unique_ptr<DialogState> dialog; // dialog windows only
};

// Kept by the dialog manager for each dialog window.
struct DialogState {
    DLGPROC proc;
    LONG_PTR msgResult = 0; // DWLP_MSGRESULT
    bool ended = false;     // EndDialog called
    INT_PTR result = 0;
    int defaultId = 0;            // DM_SETDEFID; 0 = the template's default push button
    HWND savedFocus = nullptr;    // the control to give the focus back on reactivation
    HFONT font = nullptr;         // made from the template's font; freed with the dialog
    HWND disabledOwner = nullptr; // the owner this dialog disabled, to enable at the end
};

struct MenuItem {
    std::string text;
    UINT id = 0;
    UINT state = 0; // MF_CHECKED, MF_GRAYED, MF_DISABLED
    bool separator = false;
    bool radio = false; // MFT_RADIOCHECK: the mark is a bullet
    HMENU popup = nullptr;
};

struct Menu {
    std::vector<MenuItem> items;
    HWND window = nullptr; // the window whose menu bar it is
};

struct GdiObject {
    enum Kind { Brush, Font, Pen, Bitmap } kind;
    COLORREF colour = 0; // brushes
    bool stock = false;  // never deleted
    int bitmapId = 0;    // bitmaps
};

struct DeviceContext {
    HWND window;
    bool own; // CS_OWNDC: stays with the window, ReleaseDC keeps it
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
};

// SetTimer: WM_TIMER comes due `elapse` ms after it was set or last taken from the queue.
struct Timer {
    HWND window;    // nullptr: a thread timer
    UINT_PTR id;    // the program's id, or the one SetTimer chose for a thread timer
    UINT elapse;    // milliseconds
    TIMERPROC proc; // called by DispatchMessageA instead of the window procedure
    DWORD due;      // on the timer clock (timerClock)
};

struct GlContext {
    void* backendContext;
    HWND window; // the window it was made for
};

struct Layer {
    uintptr_t nextHandle = 0x10000; // handles are never reused within a session
    DWORD messageTime = 0;          // advances with each message taken from the queue

    std::vector<std::unique_ptr<WindowClass>> classes;
    bool systemClassesReady = false;
    ATOM nextAtom = 0xC000;
    std::map<uintptr_t, std::unique_ptr<Window>> windows; // by handle, so creation order

    std::deque<MSG> posted; // PostMessageA
    std::deque<MSG> input;  // user input, taken after posted messages
    bool quitPosted = false;
    int quitCode = 0;

    HWND focus = nullptr;
    HWND capture = nullptr;
    HWND active = nullptr;           // the active top-level window
    std::array<bool, 256> keyDown{}; // as of the last key message taken from the queue
    bool mouseButtonDown = false;    // left button, as injected so far
    POINT cursor{};                  // the pointer, screen coordinates (SendInput, SetCursorPos)
    std::array<bool, 256> sentKeyDown{}; // keys SendInput holds down, as sent
    bool altAlone = false; // Alt went down with nothing after it: its release enters the menu

    std::vector<Timer> timers;    // in the order set
    UINT_PTR nextThreadTimer = 1; // ids SetTimer hands out for thread timers
    DWORD virtualClock = 0;       // the timer clock when the backend has none

    std::map<uintptr_t, std::unique_ptr<Menu>> menus;
    std::map<uintptr_t, const AcceleratorResource*> accelerators;
    std::map<uintptr_t, std::unique_ptr<GdiObject>> gdiObjects;
    std::map<uintptr_t, DeviceContext> deviceContexts;
    std::map<uintptr_t, GlContext> glContexts;
    HGLRC currentGl = nullptr;
    HDC currentGlDc = nullptr;
    std::map<int, HGDIOBJ> stockObjects;
    std::map<std::string, HICON> sharedHandles; // icons and cursors, one handle per resource

    bool commonControls = false;            // InitCommonControls ran: the trackbar class exists
    int richEditLoads = 0;                  // LoadLibraryA("riched32.dll") not yet freed
    std::set<std::string> refusedLibraries; // lower-case names LoadLibraryA fails for
    DWORD commDlgError = 0;

    std::vector<HWND> modalDialogs;       // open modal dialogs, innermost last
    DLGPROC creatingDialogProc = nullptr; // handed to the dialog window being made
    int modalDepth = 0;                   // dialogs and message boxes open
    int droppedInput = 0;                 // input refused because its window was disabled

    const Backend* backend = nullptr;
};

Layer& state();
void resetLayer(); // destroys every window, then clears all state but the backend

// Handles
uintptr_t newHandle();
Window* windowOf(HWND window); // nullptr for an unknown or destroyed handle
Menu* menuOf(HMENU menu);
GdiObject* gdiObjectOf(HGDIOBJ object);
DeviceContext* deviceContextOf(HDC dc);

// Windows
WindowClass* findClass(LPCSTR name);
HWND topLevelOf(HWND window);                  // itself for a top-level window
bool isDescendant(HWND ancestor, HWND window); // strictly inside
bool isEnabledForInput(HWND window);           // it and every ancestor enabled
RECT nonClientInsets(const Window& window);    // left, top, right, bottom widths
POINT clientOriginOnScreen(HWND window);
RECT clientRectOf(const Window& window);
void viewChanged(HWND window, unsigned changes);
void activate(HWND topLevel); // WM_ACTIVATE to the old and the new active window
bool sendCreateView(HWND window); // false: the backend could not make its view

// Messages
// GetMessageA's window filter for thread messages only (those posted to no window).
inline const HWND threadMessagesOnly = reinterpret_cast<HWND>(-1);
// A queue window filter: nullptr passes every window, threadMessagesOnly none but no window,
// any other the window itself and its children.
bool passesWindowFilter(HWND filter, HWND window);
// Down as of the last key message taken from the queue, as GetKeyState's high bit tells.
bool keyIsDown(int virtualKey);
LRESULT sendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void postInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
DWORD timerClock(); // the backend's clock, or the layer's virtual one
void killTimersOf(HWND window); // the window is going
// WM_TIMER of the due timer for a GetMessageA window filter; `remove` restarts its interval.
bool takeTimerMessage(MSG* msg, HWND filter, bool remove);
bool timeToNextTimer(HWND filter, DWORD& milliseconds); // false when no timer is set

// Notifications, one sender per kind: WM_COMMAND from a control, WM_HSCROLL/WM_VSCROLL.
void notifyCommand(HWND control, HWND owner, int code);
void notifyScroll(HWND trackbar, HWND owner, int code, int position, bool vertical);

// Extra window bytes used by the layer's controls for their record pointer.
void* controlRecord(HWND window);
void setControlRecord(HWND window, void* record);
ControlKind kindOf(HWND window);

// Control classes
void registerSystemClasses(); // Button, Static, Edit, ListBox, ComboBox, dialog
void registerTrackbarClass();
void registerRichEditClass();
void unregisterLibraryClasses();
LRESULT CALLBACK buttonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK staticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK editProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK listBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK comboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK trackbarProc(HWND, UINT, WPARAM, LPARAM);

// Dialogs: creates the dialog of a template owned by `owner` and runs it modally, as
// DialogBoxParamA does; also for the boxes the layer makes itself (message box, file-open).
INT_PTR runModalDialog(const DialogResource& dialogTemplate, HINSTANCE instance, HWND owner,
                       DLGPROC dialogProc, LPARAM initParam);

// Menus: the item with that command id, searching sub-menus depth first.
MenuItem* findMenuItem(HMENU menu, UINT id);
// Copies text into a caller's buffer of `size` bytes, cut to fit, always ended; the count copied.
int copyText(const std::string& text, LPSTR buffer, int size);
// SC_KEYMENU: the menu bar driven from the keyboard (menu_keys.cpp); 0 for Alt alone.
void trackMenuFromKeyboard(HWND window, char character);

// Resources
const ResourceTable* resourcesOf(HINSTANCE instance); // nullptr when not a module with resources
const DialogResource* findDialog(HINSTANCE instance, LPCSTR name);
const BitmapResource* findBitmap(HINSTANCE instance, LPCSTR name);
int resourceNumber(LPCSTR name); // MAKEINTRESOURCEA number, or "#n", or -1
HBITMAP bitmapHandle(int id);

// Dialog base units of the dialog font ("MS Shell Dlg", 8 points)
constexpr int dialogBaseX = 6;
constexpr int dialogBaseY = 13;
// Screen the layer places centred dialogs on
constexpr int screenWidth = 1280;
constexpr int screenHeight = 1024;

std::string lowerCase(const char* text);
bool equalsNoCase(const std::string& a, const char* b);

} // namespace layer
