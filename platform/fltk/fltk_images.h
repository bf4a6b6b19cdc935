// The layer's pictures on the desktop: a window class's icon and the bitmap of an SS_BITMAP
// static, both RGB resources of the program's module.
#pragma once

#include "platform/winapi.h"

class Fl_Window;

// Gives the window every size of the icon group; nothing for a null or system icon.
void setWindowIcon(Fl_Window* window, HICON icon);

// Draws the static's bitmap at its own size from the client area's top-left corner.
void drawStaticBitmap(HWND window, int x, int y, int w, int h);
