// Offscreen GL for the headless backend: one EGL display on Mesa's surfaceless platform, one
// 512 x 512 pbuffer per window given a pixel format (RGB 8-8-8, no alpha, 16-bit depth), and
// desktop OpenGL contexts (compatibility profile, so OpenGL 1.1 immediate mode works).
#pragma once

#include "platform/winapi.h"

#include <cstdint>
#include <vector>

namespace headless {

constexpr int surfaceSize = 512;

bool eglReady();                 // the display and config exist (made on first call)
bool createSurface(HWND window); // the window's pbuffer
void destroySurface(HWND window);
void* createGlContext(); // nullptr on failure
void destroyGlContext(void* context);
bool makeGlCurrent(HWND window, void* context); // both null: release
// Reads the window's surface, if it is the current one, into `rgb` top row first.
bool readSurface(HWND window, std::vector<uint8_t>& rgb);
void releaseAllSurfaces(); // session end: nothing current, every pbuffer gone

} // namespace headless
