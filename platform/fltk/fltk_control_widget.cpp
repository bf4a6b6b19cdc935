#include "platform/fltk/fltk_control_widget.h"

#include "platform/backend.h"
#include "platform/fltk/fltk_draw.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

ControlWidget::ControlWidget(HWND window, int x, int y, int w, int h)
    : Fl_Widget(x, y, w, h), window_(window) {
    box(FL_NO_BOX);
}

DWORD ControlWidget::style() const {
    return DWORD(GetWindowLongA(window_, GWL_STYLE));
}
DWORD ControlWidget::exStyle() const {
    return DWORD(GetWindowLongA(window_, GWL_EXSTYLE));
}
bool ControlWidget::enabled() const {
    return IsWindowEnabled(window_);
}
bool ControlWidget::focused() const {
    return GetFocus() == window_;
}

int ControlWidget::clientX() const {
    return x() + fltk_look::borderWidth(style(), exStyle());
}
int ControlWidget::clientY() const {
    return y() + fltk_look::borderWidth(style(), exStyle());
}
int ControlWidget::clientW() const {
    return w() - 2 * fltk_look::borderWidth(style(), exStyle());
}
int ControlWidget::clientH() const {
    return h() - 2 * fltk_look::borderWidth(style(), exStyle());
}

void ControlWidget::drawBorderAndBackground(Fl_Color background) {
    fltk_look::drawBorder(style(), exStyle(), x(), y(), w(), h());
    fl_rectf(clientX(), clientY(), clientW(), clientH(), background);
}

int ControlWidget::handle(int event) {
    if (!takesMouse())
        return 0;
    switch (event) {
    case FL_PUSH:
        if (Fl::event_button() == FL_LEFT_MOUSE)
            post(WM_LBUTTONDOWN);
        return 1;
    case FL_DRAG:
        if (Fl::event_state(FL_BUTTON1))
            post(WM_MOUSEMOVE);
        return 1;
    case FL_RELEASE:
        if (Fl::event_button() == FL_LEFT_MOUSE)
            post(WM_LBUTTONUP);
        return 1;
    case FL_ENTER:
    case FL_LEAVE:
    case FL_MOVE: return 1;
    default: return 0;
    }
}

void ControlWidget::post(UINT message) {
    // Client coordinates as the layer counts them: from the window's client origin.
    RECT outer{};
    GetWindowRect(window_, &outer);
    POINT origin{0, 0};
    ClientToScreen(window_, &origin);
    const int x = Fl::event_x() - this->x() - (origin.x - outer.left);
    const int y = Fl::event_y() - this->y() - (origin.y - outer.top);
    inputMouse(window_, message, x, y);
}
