// The FLTK backend's one record and the pieces its files share.
#pragma once

#include "platform/winapi.h"

#include <deque>
#include <map>
#include <vector>

class Fl_Window;
class Fl_Widget;
class Fl_Menu_Bar;
class GlViewWindow;
struct MenuBarStrings;

// The native view of one layer window: a top-level FLTK window (with its menu bar) for a
// window without parent, a widget in its top-level window for a child, and for a child with
// a pixel format an Fl_Gl_Window over its client area.
struct NativeView {
    Fl_Window* topLevel = nullptr;
    Fl_Menu_Bar* menuBar = nullptr;
    MenuBarStrings* menuStrings = nullptr; // texts the menu bar's items point into
    Fl_Widget* widget = nullptr;
    GlViewWindow* gl = nullptr;
    int pixelFormat = 0;
};

// A pixel format handed out by ChoosePixelFormat: the GLX attributes asked for (FLTK keeps
// a pointer to them, so they live as long as the backend) and what the visual really has.
struct PixelFormatChoice {
    std::vector<int> glxAttributes;
    PIXELFORMATDESCRIPTOR described;
};

struct FltkBackend {
    bool started = false;
    std::map<HWND, NativeView> views;
    std::deque<PixelFormatChoice> pixelFormats; // format n is pixelFormats[n - 1]
    unsigned long paintRequests = 0;            // redraws of a GL view turned into WM_PAINT
};

FltkBackend& fltkBackend();
NativeView* nativeViewOf(HWND window);
// The FLTK window that shows `window` or, for a child, its top-level window; nullptr if none.
Fl_Window* hostWindowOf(HWND window);

// The client area of a child window inside its top-level FLTK window.
struct HostBox {
    int x, y, w, h;
};
HostBox clientBoxInHost(HWND window);

constexpr int menuBarHeight = 19;
