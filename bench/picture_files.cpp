// Encoders for the benchmark's files, written the way common tools write them: BMP and TGA
// bottom row first, one run-length packet stream per row, PCX runs per plane line.
#include "bench/picture_files.h"

#include "tests/support/byte_writer.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace {

using ByteVector = std::vector<uint8_t>;

uint32_t mix(uint32_t v) {
    v ^= v >> 16;
    v *= 0x7feb352dU;
    v ^= v >> 15;
    v *= 0x846ca68bU;
    v ^= v >> 16;
    return v;
}

// 0 and 1 flat, 2 gradient, 3 noise; tiles of 64 x 64.
uint32_t tileHash(int x, int y) {
    return mix(static_cast<uint32_t>((x >> 6) * 131 + (y >> 6) * 7919 + 1));
}

// One pixel as a file stores it: blue, green, red (alpha) for BMP and TGA, red, green, blue
// (alpha) for QFR, the index for the 8-bit cases.
void storePixel(ByteVector& out, int x, int y, int bytesPerPixel, bool blueFirst) {
    if (bytesPerPixel == 1) {
        out.push_back(pictureIndex(x, y));
        return;
    }
    const Rgba c = pictureColour(x, y);
    out.push_back(blueFirst ? c.b : c.r);
    out.push_back(c.g);
    out.push_back(blueFirst ? c.r : c.b);
    if (bytesPerPixel == 4)
        out.push_back(c.a);
}

ByteVector storedRow(int y, int bytesPerPixel, bool blueFirst) {
    ByteVector row;
    row.reserve(static_cast<size_t>(kBenchSide) * bytesPerPixel);
    for (int x = 0; x < kBenchSide; ++x)
        storePixel(row, x, y, bytesPerPixel, blueFirst);
    return row;
}

void putPalette(ByteVector& out, bool blueFirst, bool reservedByte) {
    for (int i = 0; i < 256; ++i) {
        const Rgba c = paletteColour(static_cast<uint8_t>(i));
        out.push_back(blueFirst ? c.b : c.r);
        out.push_back(c.g);
        out.push_back(blueFirst ? c.r : c.b);
        if (reservedByte)
            out.push_back(0);
    }
}

// Runs of three or more as encoded runs, the rest as absolute runs (three bytes or more) or
// short encoded runs; an end of line after every row.
void encodeRle8Row(ByteVector& out, const ByteVector& row) {
    const size_t n = row.size();
    auto runAt = [&](size_t i) {
        size_t j = i + 1;
        while (j < n && j - i < 255 && row[j] == row[i])
            ++j;
        return j - i;
    };
    size_t i = 0;
    while (i < n) {
        const size_t run = runAt(i);
        if (run >= 3) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        size_t j = i;
        while (j < n && j - i < 255 && runAt(j) < 3)
            ++j;
        const size_t literal = j - i;
        if (literal < 3) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        out.push_back(0);
        out.push_back(static_cast<uint8_t>(literal));
        out.insert(out.end(), row.begin() + static_cast<long>(i),
                   row.begin() + static_cast<long>(j));
        if (literal & 1)
            out.push_back(0);
        i = j;
    }
    out.push_back(0);
    out.push_back(0);
}

// Run packets for two or more equal pixels, raw packets for the rest.
void encodeTgaRow(ByteVector& out, const ByteVector& row, int pixelSize) {
    const size_t n = row.size() / pixelSize;
    auto same = [&](size_t a, size_t b) {
        for (int k = 0; k < pixelSize; ++k) {
            if (row[a * pixelSize + k] != row[b * pixelSize + k])
                return false;
        }
        return true;
    };
    size_t i = 0;
    while (i < n) {
        size_t j = i + 1;
        while (j < n && j - i < 128 && same(j, i))
            ++j;
        if (j - i >= 2) {
            out.push_back(static_cast<uint8_t>(0x80 | (j - i - 1)));
            out.insert(out.end(), row.begin() + static_cast<long>(i * pixelSize),
                       row.begin() + static_cast<long>((i + 1) * pixelSize));
            i = j;
            continue;
        }
        j = i + 1;
        while (j < n && j - i < 128 && !(j + 1 < n && same(j, j + 1)))
            ++j;
        out.push_back(static_cast<uint8_t>(j - i - 1));
        out.insert(out.end(), row.begin() + static_cast<long>(i * pixelSize),
                   row.begin() + static_cast<long>(j * pixelSize));
        i = j;
    }
}

void encodePcxPlaneLine(ByteVector& out, const uint8_t* line, size_t n) {
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 63 && line[i + run] == line[i])
            ++run;
        if (run > 1 || line[i] >= 0xC0)
            out.push_back(static_cast<uint8_t>(0xC0 | run));
        out.push_back(line[i]);
        i += run;
    }
}

ByteVector bmpFile(int bytesPerPixel, bool rle8) {
    const uint32_t paletteBytes = bytesPerPixel == 1 ? 1024 : 0;
    const uint32_t pixelOffset = 54 + paletteBytes;
    ByteVector body;
    for (int y = kBenchSide - 1; y >= 0; --y) {
        ByteVector row = storedRow(y, bytesPerPixel, true);
        if (rle8)
            encodeRle8Row(body, row);
        else
            body.insert(body.end(), row.begin(), row.end());
    }
    if (rle8) {
        body.push_back(0);
        body.push_back(1);
    }
    ByteVector out{'B', 'M'};
    appendLe32(out, pixelOffset + static_cast<uint32_t>(body.size()));
    appendLe32(out, 0);
    appendLe32(out, pixelOffset);
    appendLe32(out, 40);
    appendLe32(out, kBenchSide);
    appendLe32(out, kBenchSide);
    appendLe16(out, 1);
    appendLe16(out, bytesPerPixel * 8);
    appendLe32(out, rle8 ? 1 : 0);
    appendLe32(out, static_cast<uint32_t>(body.size()));
    appendLe32(out, 2835);
    appendLe32(out, 2835);
    appendLe32(out, bytesPerPixel == 1 ? 256 : 0);
    appendLe32(out, 0);
    if (bytesPerPixel == 1)
        putPalette(out, true, true);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

ByteVector tgaFile(int type, int bytesPerPixel) {
    const bool colourMapped = type == 1;
    ByteVector out{0, static_cast<uint8_t>(colourMapped ? 1 : 0), static_cast<uint8_t>(type)};
    appendLe16(out, 0);
    appendLe16(out, colourMapped ? 256 : 0);
    out.push_back(colourMapped ? 24 : 0);
    appendLe16(out, 0);
    appendLe16(out, 0);
    appendLe16(out, kBenchSide);
    appendLe16(out, kBenchSide);
    out.push_back(static_cast<uint8_t>(bytesPerPixel * 8));
    out.push_back(bytesPerPixel == 4 ? 8 : 0); // alpha bits; bottom row first
    if (colourMapped)
        putPalette(out, true, false);
    for (int y = kBenchSide - 1; y >= 0; --y) {
        ByteVector row = storedRow(y, bytesPerPixel, true);
        if (type == 10)
            encodeTgaRow(out, row, bytesPerPixel);
        else
            out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

ByteVector pcxFile(int planes) {
    ByteVector out{10, 5, 1, 8};
    appendLe16(out, 0);
    appendLe16(out, 0);
    appendLe16(out, kBenchSide - 1);
    appendLe16(out, kBenchSide - 1);
    appendLe16(out, 72);
    appendLe16(out, 72);
    out.resize(65, 0);
    out.push_back(static_cast<uint8_t>(planes));
    appendLe16(out, kBenchSide);
    appendLe16(out, 1);
    out.resize(128, 0);
    ByteVector line(kBenchSide);
    for (int y = 0; y < kBenchSide; ++y) {
        for (int plane = 0; plane < planes; ++plane) {
            for (int x = 0; x < kBenchSide; ++x) {
                if (planes == 1) {
                    line[x] = pictureIndex(x, y);
                } else {
                    const Rgba c = pictureColour(x, y);
                    line[x] = plane == 0 ? c.r : plane == 1 ? c.g : c.b;
                }
            }
            encodePcxPlaneLine(out, line.data(), line.size());
        }
    }
    if (planes == 1) {
        out.push_back(12);
        putPalette(out, false, false);
    }
    return out;
}

ByteVector qfrFile(int bytesPerPixel) {
    ByteVector out;
    appendLe16(out, kBenchSide);
    appendLe16(out, kBenchSide);
    out.push_back(static_cast<uint8_t>(bytesPerPixel * 8));
    for (int y = 0; y < kBenchSide; ++y) {
        ByteVector row = storedRow(y, bytesPerPixel, false);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

} // namespace

const std::vector<PictureCase>& pictureCases() {
    constexpr Decoder Ours = Decoder::Ours, Floor = Decoder::Floor, Stb = Decoder::StbImage,
                      Sdl = Decoder::SdlImage;
    static const std::vector<PictureCase> cases = {
        {"BMP 24-bit", "rgb24.bmp", 3, {Ours, Floor, Stb, Sdl}},
        {"BMP 32-bit", "rgba32.bmp", 4, {Ours, Floor, Stb, Sdl}},
        // stb_image has no RLE BMP; SDL2_image reads it through SDL's own BMP loader.
        {"BMP 8-bit RLE8", "rle8.bmp", 1, {Ours, Sdl}},
        {"TGA 2, 24-bit", "rgb24.tga", 3, {Ours, Floor, Stb, Sdl}},
        {"TGA 2, 32-bit", "rgba32.tga", 4, {Ours, Floor, Stb, Sdl}},
        {"TGA 10, 24-bit RLE", "rgb24_rle.tga", 3, {Ours, Stb, Sdl}},
        {"TGA 10, 32-bit RLE", "rgba32_rle.tga", 4, {Ours, Stb, Sdl}},
        {"TGA 1, 8-bit mapped", "mapped.tga", 1, {Ours, Stb, Sdl}},
        {"PCX 1 plane", "index.pcx", 1, {Ours, Sdl}},
        {"PCX 3 planes", "rgb.pcx", 3, {Ours, Sdl}},
        {"QFR 24-bit", "rgb24.qfr", 3, {Ours, Floor}},
        {"QFR 32-bit", "rgba32.qfr", 4, {Ours, Floor}},
    };
    return cases;
}

Rgba pictureColour(int x, int y) {
    const uint32_t tile = tileHash(x, y);
    switch (tile & 3) {
    case 0:
    case 1:
        return {static_cast<uint8_t>(tile >> 8), static_cast<uint8_t>(tile >> 16),
                static_cast<uint8_t>(tile >> 24), static_cast<uint8_t>(tile >> 2 | 0x80)};
    case 2:
        return {static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x + y), 255};
    default: {
        const uint32_t noise = mix(static_cast<uint32_t>(y * kBenchSide + x));
        return {static_cast<uint8_t>(noise), static_cast<uint8_t>(noise >> 8),
                static_cast<uint8_t>(noise >> 16), static_cast<uint8_t>(noise >> 24 | 1)};
    }
    }
}

uint8_t pictureIndex(int x, int y) {
    const uint32_t tile = tileHash(x, y);
    switch (tile & 3) {
    case 0:
    case 1: return static_cast<uint8_t>(tile >> 8);
    case 2: return static_cast<uint8_t>(x + y);
    default: return static_cast<uint8_t>(mix(static_cast<uint32_t>(y * kBenchSide + x)));
    }
}

Rgba paletteColour(uint8_t index) {
    const uint32_t v = mix(index + 77U);
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            255};
}

std::string writePictureFile(const PictureCase& pictureCase, const std::string& dir) {
    const std::string name = pictureCase.fileName;
    const int bpp = pictureCase.bytesPerPixel;
    ByteVector bytes;
    if (name == "rle8.bmp")
        bytes = bmpFile(1, true);
    else if (name.ends_with(".bmp"))
        bytes = bmpFile(bpp, false);
    else if (name == "mapped.tga")
        bytes = tgaFile(1, 1);
    else if (name.ends_with("_rle.tga"))
        bytes = tgaFile(10, bpp);
    else if (name.ends_with(".tga"))
        bytes = tgaFile(2, bpp);
    else if (name.ends_with(".pcx"))
        bytes = pcxFile(bpp);
    else
        bytes = qfrFile(bpp);
    const std::string path = dir + "/" + name;
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
    return path;
}
