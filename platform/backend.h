// The backend interface: what the layer needs from whatever shows its windows.
//
// The layer (platform/) owns every window's state, the message queue, focus, capture, menus,
// dialogs and controls. A backend only
//   - makes, updates and destroys the native view of a window,
//   - waits for the user's input and feeds it into the layer (the input calls below),
//   - shows message boxes and the file chooser,
//   - gives a window a GL surface and presents it.
// Backends: platform/headless/ (tests; no screen, scripted input, EGL offscreen GL) and
// platform/fltk/ (the desktop). One backend is installed at a time, with setBackend.
#pragma once

#include "platform/winapi.h"

#include <string>

// What changed in a window since its view was made; bits for updateView.
enum ViewChange : unsigned {
    ViewText = 1u << 0,     // window text
    ViewContent = 1u << 1,  // control state: items, selection, check, position, range, colour
    ViewGeometry = 1u << 2, // position or size
    ViewEnabled = 1u << 3,  // enabled or disabled
    ViewVisible = 1u << 4,  // shown or hidden
    ViewFocus = 1u << 5,    // gained or lost the keyboard focus
    ViewMenu = 1u << 6,     // the window's menu or a mark in it
};

struct Backend {
    const char* name;

    // Native views. createView comes after WM_CREATE succeeded; destroyView before WM_DESTROY.
    // createView false: the system could not make the window, and CreateWindowExA fails.
    bool (*createView)(HWND window);
    void (*updateView)(HWND window, unsigned changes); // ViewChange bits
    void (*destroyView)(HWND window);

    // Waits for input and feeds it in. With block, returns once something was fed or may have
    // been; without, feeds only what is already there. Returns false when no input can come
    // any more: the waiting GetMessageA then ends as if the quit message had arrived.
    bool (*waitForInput)(bool block);

    // Modal answers, while the layer keeps the owner's top-level window disabled.
    // messageBox returns the id of the button chosen (IDOK, IDCANCEL, ...).
    int (*messageBox)(HWND owner, const char* text, const char* caption, UINT type);
    // The file chooser: FALSE when the user cancels; a chosen path goes through
    // acceptChosenFile (below), which checks it against the flags and fills the record.
    BOOL (*openFileName)(OPENFILENAMEA* ofn);

    // GDI on a window's client area: whether a device context can be had, and a filled rectangle.
    bool (*getDc)(HWND window);
    void (*fillRect)(HWND window, const RECT& rect, COLORREF colour);

    // The GL surface of a window. Formats are numbered from 1; 0 means none.
    int (*choosePixelFormat)(HWND window, const PIXELFORMATDESCRIPTOR& wanted);
    bool (*describePixelFormat)(int format, PIXELFORMATDESCRIPTOR& described);
    bool (*setPixelFormat)(HWND window, int format);
    void* (*createContext)(HWND window);             // nullptr on failure
    bool (*makeCurrent)(HWND window, void* context); // both null: release the current context
    void (*deleteContext)(void* context);
    bool (*present)(HWND window);

    // The clock timers run on, in milliseconds, and a wait for input that gives up after
    // `milliseconds` (for the next due timer). Both nullptr: the layer keeps a virtual clock
    // that stands still while the thread works and jumps to the next due timer whenever the
    // thread would wait, so a pending timer comes due before any further input.
    DWORD (*tickCount)();
    bool (*waitForInputFor)(DWORD milliseconds);
};

// Installs a backend (nullptr: none; windows then have no views and a blocking wait on an
// empty queue ends as the quit message). The backend must outlive its installation.
void setBackend(const Backend* backend);
const Backend* currentBackend();

// The backend the program's `main` (library qf_main) installs: defined by the one backend
// library linked into the program (qf_fltk on the desktop; qf_headless for a run without screen).
const Backend& programBackend();

// ---------------------------------------------------------------------------------------------
// Input, from a backend into the layer's queue. Each posts what the real platform posts.

// WM_LBUTTONDOWN, WM_LBUTTONUP or WM_MOUSEMOVE at client coordinates of `window`. While a
// window holds the capture the message goes to it instead, with coordinates made relative to
// it (negative outside). Input for a disabled window, or one whose top-level window is
// disabled, is dropped.
void inputMouse(HWND window, UINT message, int x, int y);

// WM_KEYDOWN or WM_KEYUP of a virtual key, to `window` (nullptr, or a window gone by the time
// the key is taken from the queue: the focus window then).
void inputKey(HWND window, UINT message, UINT virtualKey);

// A character with no key of its own (VK_PACKET); TranslateMessage makes it a WM_CHAR.
void inputPacketChar(HWND window, char character);

// A pick from the menu of `window`: WM_COMMAND with the item's id, unless it is grayed or absent.
// Returns whether the item exists and is enabled.
bool inputMenuPick(HWND window, UINT id);

// The close box (or Alt+F4) of a top-level window: WM_SYSCOMMAND with SC_CLOSE.
void inputClose(HWND window);

// The user chose `path` in the file chooser: refused (FALSE) when the request's flags want a
// file or folder that is not there or the buffer is too small (CommDlgExtendedError tells);
// otherwise lpstrFile, lpstrFileTitle, nFileOffset and nFileExtension are filled (TRUE).
BOOL acceptChosenFile(OPENFILENAMEA* ofn, const char* path);
// What the dialog makes of a name the user gave: one without an extension gets the request's
// default extension when a file of that name is there, as the real dialog tries it first.
std::string chosenPath(const OPENFILENAMEA& ofn, const std::string& path);
// The message the real dialog shows, staying open, when the request's flags refuse `path`
// (a file or folder that is not there); empty when the path may be chosen.
std::string chosenPathRefusal(const OPENFILENAMEA& ofn, const std::string& path);

// The native view was uncovered: the window needs painting (WM_PAINT once the queue is empty).
void inputExpose(HWND window);
