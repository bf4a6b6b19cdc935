// A small PNG encoder for 8-bit RGB pictures (the program's icons for the desktop entry).
#pragma once

#include <cstdint>
#include <vector>

// The PNG file of a picture stored top row first, 3 bytes R, G, B per pixel, no padding;
// empty when the sizes are not positive or compression fails.
std::vector<uint8_t> encodePng(const uint8_t* rgb, int width, int height);
