#include "app/shell.h"

HINSTANCE instanceHandle = nullptr;
HWND mainWindow = nullptr;
HWND viewFrame = nullptr;
WNDPROC previousViewFrameProc = nullptr;
HDC viewFrameDc = nullptr;
