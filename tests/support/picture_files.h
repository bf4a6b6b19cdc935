// Picture files written during a test, in each format the program reads, from one picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgba {
    uint8_t r, g, b, a;
};

// Top row first, each row left to right.
struct Picture {
    int width;
    int height;
    std::vector<Rgba> pixels;

    Rgba at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Every pixel of `colour`.
Picture solidPicture(int width, int height, Rgba colour);

// Uncompressed BMP, rows bottom first and padded to four bytes; 24 or 32 bits per pixel.
std::vector<uint8_t> bmpFile(const Picture& picture, int bits);
// Run-length encoded PCX with three 8-bit planes.
std::vector<uint8_t> pcxFile(const Picture& picture);
// Uncompressed true-colour TGA (type 2), rows bottom first; 24 or 32 bits per pixel.
std::vector<uint8_t> tgaFile(const Picture& picture, int bits);
// The program's raw format: 24 bits R, G, B or 32 bits R, G, B, A per pixel.
std::vector<uint8_t> qfrFile(const Picture& picture, int bits);
// A raw-format file of another depth, every byte `fill`.
std::vector<uint8_t> qfrFileOfDepth(int width, int height, int bits, uint8_t fill);

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
