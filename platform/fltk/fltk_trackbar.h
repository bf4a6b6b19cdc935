// The trackbar widget: the channel and the thumb where the layer puts them.
#pragma once

#include "platform/winapi.h"

#include <FL/Fl_Widget.H>

Fl_Widget* makeTrackbarWidget(HWND window, int x, int y, int w, int h);
