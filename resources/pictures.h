// The program's pictures, drawn in code when the program starts: the icon's images and the
// About banner. Each is top row first, 3 bytes R, G, B per pixel.
#pragma once

#include <cstdint>

constexpr int bannerWidth = 413;
constexpr int bannerHeight = 81;

// The About banner: 256 colours, a sky of squares like the ones the program draws.
const uint8_t* bannerPixels();

// One image of the icon: three overlapping squares, size x size pixels (size at most 48).
const uint8_t* iconPixels(int size);
