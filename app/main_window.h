// The main window's procedure, where menu commands, accelerator keys, buttons and panel
// notifications arrive.
#pragma once

#include "platform/winapi.h"

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
