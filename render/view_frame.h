// The view frame's window procedure, installed over its STATIC procedure at start-up: it draws
// a frame on every paint request, and a left-button drag moves the current polygon (2D) or
// turns the view (3D).
#pragma once

#include "platform/winapi.h"

LRESULT CALLBACK viewFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Forgets any drag in progress.
void resetViewFrameDrag();
