// The scenario driver: the whole program run as a user runs it, one action per timer tick,
// with a dump of what the user would see after each. Written against the Windows API only, so
// the same code runs on our layer and on a real implementation of the API.
#pragma once

#include "platform/winapi.h"

// Writes the pictures the run browses for into the current folder, sets the driver's timer,
// runs the program's WinMain with `instance` as its module, and writes the dump to dumpPath.
// Returns WinMain's result, or 3 when the dump cannot be written or the run stopped short.
int runScenario(HINSTANCE instance, const char* dumpPath);
