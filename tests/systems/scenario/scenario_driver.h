// The scenario driver: the whole program run as a user runs it, a seeded random action per
// timer tick through SendInput, with a dump of what the user would see after each. Written
// against the Windows API only, so the same code runs on our layer and on a real
// implementation of the API.
#pragma once

#include "platform/winapi.h"

// Writes the pictures the run browses for into the current folder, sets the driver's timer,
// runs the program's WinMain with `instance` as its module for `steps` actions of the session
// `seed`, and writes the dump to dumpPath. Returns WinMain's result, or 3 when the dump cannot
// be written or the run stopped short.
int runScenario(HINSTANCE instance, const char* dumpPath, unsigned seed, long steps);

// The command line of both entries: DUMP_FILE SEED STEPS. False (with a usage line) when wrong.
bool readScenarioArguments(int argc, char** argv, unsigned* seed, long* steps);
