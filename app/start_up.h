// Start-up pieces of the entry point, callable on their own.
#pragma once

#include "platform/winapi.h"

// Registers "TestBedWindow" with the main window procedure. True on success.
bool registerMainWindowClass();

// Gives the view frame a double-buffered RGBA context, current for the whole run. Each
// failing step shows its own message box; true on success.
bool createGlContext();

// Pumps messages until the quit message: accelerators first, the swatch after every message,
// a frame whenever nothing more for the main window waits.
void runMessageLoop(HACCEL accelerators);

// Puts every process-wide value of the program back to its start-up state, so that the
// program can be started again in the same process.
void resetProgramState();
