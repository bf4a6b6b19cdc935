// Widgets for the controls that show text rows: edits (single and multi-line, rich edit),
// list boxes and combo boxes.
#pragma once

#include "platform/winapi.h"

#include <FL/Fl_Widget.H>

Fl_Widget* makeEditWidget(HWND window, int x, int y, int w, int h);
Fl_Widget* makeListBoxWidget(HWND window, int x, int y, int w, int h);
Fl_Widget* makeComboBoxWidget(HWND window, int x, int y, int w, int h);
