// The files the image benchmark reads: one 4096 x 4096 picture written in every format and
// variant the loader decodes, and the picture itself, to check each decoder's result against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kBenchSide = 4096;

// Who decodes a file: our loader, the floor program (bench/floor_loader.h) and the common
// decoders we are timed against.
enum class Decoder { Ours, Floor, StbImage, SdlImage };

struct PictureCase {
    const char* label;    // shown in the table
    const char* fileName; // the extension picks our reader
    int bytesPerPixel;    // of the decoded picture: 1 (palette indices), 3 or 4
    std::vector<Decoder> decoders; // ours first, then who reads the format
};

// Every case, in table order.
const std::vector<PictureCase>& pictureCases();

// The picture's colour at (x, y), top row first: red, green, blue, alpha. Half of it is flat
// tiles (runs for the run-length formats), a quarter gradients and a quarter noise (literals).
struct Rgba {
    uint8_t r, g, b, a;
};
Rgba pictureColour(int x, int y);
// The indexed picture of the 8-bit cases, and its palette.
uint8_t pictureIndex(int x, int y);
Rgba paletteColour(uint8_t index);

// Writes the case's file into `dir` and returns its path.
std::string writePictureFile(const PictureCase& pictureCase, const std::string& dir);
