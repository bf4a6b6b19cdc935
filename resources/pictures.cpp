#include "resources/pictures.h"

#include <array>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// The banner uses one 256-entry palette: a night-blue ramp (0..191) for the sky and a few
// saturated ramps for the squares.
Rgb paletteEntry(int index) {
    if (index < 192)
        return {uint8_t(index / 6), uint8_t(index / 3), uint8_t(64 + index)};
    int shade = (index - 192) % 16;
    switch ((index - 192) / 16) {
    case 0: return {uint8_t(140 + shade * 7), 40, 40};
    case 1: return {40, uint8_t(140 + shade * 7), 60};
    case 2: return {uint8_t(150 + shade * 6), uint8_t(130 + shade * 6), 30};
    default: return {uint8_t(200 + shade * 3), uint8_t(200 + shade * 3), uint8_t(200 + shade * 3)};
    }
}

struct Square {
    int left, top, size, ramp; // ramp 0..3 selects the colour family
};

const Square bannerSquares[] = {
    {24, 14, 52, 0},  {58, 30, 40, 1},  {96, 10, 30, 2},  {150, 40, 24, 3},
    {200, 18, 44, 1}, {236, 36, 34, 0}, {300, 12, 28, 2}, {330, 30, 46, 3},
};

using BannerImage = std::array<uint8_t, bannerWidth * bannerHeight * 3>;

BannerImage drawBanner() {
    BannerImage image{};
    for (int y = 0; y < bannerHeight; ++y) {
        for (int x = 0; x < bannerWidth; ++x) {
            int index = (y * 191) / (bannerHeight - 1); // sky, lighter toward the bottom
            for (const Square& square : bannerSquares) {
                int dx = x - square.left;
                int dy = y - square.top;
                if (dx < 0 || dy < 0 || dx >= square.size || dy >= square.size)
                    continue;
                int shade = 15 - (dx + dy) * 15 / (2 * square.size); // lit from the top left
                index = 192 + square.ramp * 16 + shade;
            }
            Rgb colour = paletteEntry(index);
            uint8_t* pixel = &image[(y * bannerWidth + x) * 3];
            pixel[0] = colour.r;
            pixel[1] = colour.g;
            pixel[2] = colour.b;
        }
    }
    return image;
}

constexpr int largestIcon = 48;
using IconImage = std::array<uint8_t, largestIcon * largestIcon * 3>;

IconImage drawIcon(int size) {
    static const Rgb background = {0, 0, 0};
    static const Rgb colours[3] = {{220, 50, 50}, {50, 200, 80}, {60, 110, 230}};
    IconImage image{};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Rgb colour = background;
            for (int i = 0; i < 3; ++i) {
                int left = size * i / 5;
                int top = size * i / 5;
                int edge = size * 3 / 5;
                if (x >= left && y >= top && x < left + edge && y < top + edge)
                    colour = colours[i];
            }
            uint8_t* pixel = &image[(y * size + x) * 3];
            pixel[0] = colour.r;
            pixel[1] = colour.g;
            pixel[2] = colour.b;
        }
    }
    return image;
}

} // namespace

const uint8_t* bannerPixels() {
    static const BannerImage banner = drawBanner();
    return banner.data();
}

const uint8_t* iconPixels(int size) {
    static const IconImage icon16 = drawIcon(16);
    static const IconImage icon24 = drawIcon(24);
    static const IconImage icon32 = drawIcon(32);
    static const IconImage icon48 = drawIcon(48);
    switch (size) {
    case 16: return icon16.data();
    case 24: return icon24.data();
    case 32: return icon32.data();
    case 48: return icon48.data();
    }
    return nullptr;
}
