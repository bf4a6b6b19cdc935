// The view frame's window procedure, installed over its STATIC procedure at start-up.
#pragma once

#include "platform/winapi.h"

LRESULT CALLBACK viewFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
