// The base of every control widget: the window it shows, its styles as the layer holds them,
// and the mouse turned into WM_LBUTTONDOWN / WM_MOUSEMOVE / WM_LBUTTONUP in client coordinates.
#pragma once

#include "platform/winapi.h"

#include <FL/Fl_Widget.H>

class ControlWidget : public Fl_Widget {
  public:
    ControlWidget(HWND window, int x, int y, int w, int h);
    HWND hwnd() const { return window_; }
    // The layer changed the control: show its state again.
    virtual void refresh() { redraw(); }

    // A GDI fill kept as the control's colour (static controls draw it over their content).
    bool hasFill = false;
    RECT fillRect{};
    COLORREF fillColour = 0;

  protected:
    int handle(int event) override;
    // Controls the platform makes transparent to the mouse (group boxes, plain statics) let
    // the click through to whatever lies below.
    virtual bool takesMouse() const { return true; }

    DWORD style() const;
    DWORD exStyle() const;
    bool enabled() const;
    bool focused() const;
    // The client area inside the border, in FLTK coordinates.
    int clientX() const;
    int clientY() const;
    int clientW() const;
    int clientH() const;
    void drawBorderAndBackground(Fl_Color background);

  private:
    void post(UINT message);
    HWND window_;
};
