// The shell's process-wide handles, set during start-up and used by every part of the program.
#pragma once

#include "platform/winapi.h"

extern HINSTANCE instanceHandle;      // set first at start-up; loads the menu, dialogs and strings
extern HWND mainWindow;               // the "TestBedWindow"; target of the accelerator keys
extern HWND viewFrame;                // "glFrame", the 512 x 512 child OpenGL draws into
extern WNDPROC previousViewFrameProc; // the view frame's own STATIC procedure, kept when hooking it
extern HDC viewFrameDc;               // the view frame's device context; frames are swapped on it
