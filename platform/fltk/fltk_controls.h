// One FLTK widget per control of the layer. A widget keeps no state of its own: it draws what
// the layer holds (asked through the API, as any code would ask a control) and turns the
// user's mouse input into the messages the real platform posts. Keys never reach a widget;
// the backend feeds them to the layer's focus window before FLTK sees them.
#pragma once

#include "platform/winapi.h"

#include <FL/Fl_Widget.H>

// The kinds of control the backend can show; anything else gets a plain face-coloured area.
enum class ControlKind {
    PushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    Static,
    Edit,
    ListBox,
    ComboBox,
    Trackbar,
    Other
};

ControlKind controlKindOf(HWND window);

// The widget for a child window at (x, y, w, h) of its top-level FLTK window.
Fl_Widget* makeControlWidget(HWND window, ControlKind kind, int x, int y, int w, int h);

// The HWND a control widget shows, or nullptr for a widget that is not one of ours.
HWND windowOfWidget(const Fl_Widget* widget);

// The layer changed the control's state: redraw it (and open or close a combo box's list).
void refreshControlWidget(Fl_Widget* widget);

// A filled rectangle on a static control (the program's GDI fill), in its client coordinates.
void setWidgetFill(Fl_Widget* widget, const RECT& rect, COLORREF colour);
