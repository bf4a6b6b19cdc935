// The view frame on the desktop: an Fl_Gl_Window over the client area of a window that got a
// pixel format, and the WGL subset on it (pixel formats, one context, present).
#pragma once

#include "platform/winapi.h"

#include <FL/Fl_Gl_Window.H>

class GlViewWindow : public Fl_Gl_Window {
  public:
    GlViewWindow(HWND window, int x, int y, int w, int h, const int* glxAttributes);
    HWND hwnd() const { return window_; }
    // Only the program draws here, on WM_PAINT; FLTK's own redraws become that request.
    void flush() override;
    int handle(int event) override;

  protected:
    void draw() override {}

  private:
    HWND window_;
};

int choosePixelFormat(HWND window, const PIXELFORMATDESCRIPTOR& wanted);
bool describePixelFormat(int format, PIXELFORMATDESCRIPTOR& described);
bool setPixelFormat(HWND window, int format);
void* createContext(HWND window);
bool makeCurrent(HWND window, void* context);
void deleteContext(void* context);
bool present(HWND window);
