// Run-length encoded PCX with 8 bits per plane: one plane plus a trailing colour table, or
// three planes (red, green, blue).
#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "texture/image.h"
#include "texture/image_buffer.h"
#include "texture/image_reader.h"

namespace {

constexpr int64_t kHeaderSize = 128;
constexpr int64_t kPaletteSize = 768;
constexpr uint8_t kPaletteMarker = 12;

struct FreeBuffer {
    void operator()(uint8_t* buffer) const { freeBuffer(buffer); }
};
using ScratchLine = std::unique_ptr<uint8_t, FreeBuffer>;

// True when none of the 8 bytes starts a run (0xC1 and up): such a byte has its top bit set and
// its low seven bits at 0x41 or above. No sum carries into the next byte.
bool allLiterals(uint64_t eight) {
    constexpr uint64_t kLowSeven = 0x7F7F7F7F7F7F7F7F;
    constexpr uint64_t kAdd = 0x3F3F3F3F3F3F3F3F;
    constexpr uint64_t kTop = 0x8080808080808080;
    return (((eight & kLowSeven) + kAdd) & eight & kTop) == 0;
}

// Decodes one scan line from `from`, which must hold at least twice `length` bytes: no code
// takes more than two file bytes for a byte of the line, so nothing here passes that. Returns
// where the next line starts.
const uint8_t* decodeLineUnchecked(const uint8_t* from, uint8_t* line, size_t length) {
    size_t filled = 0;
    while (filled < length) {
        if (length - filled >= 8) {
            uint64_t eight;
            std::memcpy(&eight, from, 8);
            if (allLiterals(eight)) {
                std::memcpy(line + filled, from, 8);
                from += 8;
                filled += 8;
                continue;
            }
        }
        const uint8_t b = *from++;
        if (b <= 0xC0) {
            line[filled++] = b;
        } else {
            const size_t count = std::min<size_t>(b & 0x3F, length - filled);
            std::memset(line + filled, *from++, count);
            filled += count;
        }
    }
    return from;
}

// Decodes one scan line; a run that would cross its end is cut there. Only a line near the end
// of the file needs its reads checked one by one.
bool decodeLine(ImageCursor& c, uint8_t* line, size_t length) {
    if (remaining(c) / 2 >= length) {
        c.pos = static_cast<size_t>(decodeLineUnchecked(c.data + c.pos, line, length) - c.data);
        return true;
    }
    size_t filled = 0;
    while (filled < length) {
        const uint8_t b = get8(c);
        if (b <= 0xC0) {
            line[filled++] = b;
        } else {
            const size_t count = std::min<size_t>(b & 0x3F, length - filled);
            std::memset(line + filled, get8(c), count);
            filled += count;
        }
        if (c.overrun)
            return false;
    }
    return true;
}

// Red, green and blue planes to red-green-blue pixels; four pixels at a time as 32-bit words
// where the byte order allows.
void interleavePlanes(uint8_t* row, const uint8_t* red, const uint8_t* green, const uint8_t* blue,
                      size_t count) {
    size_t k = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; k + 4 <= count; k += 4, row += 12) {
            uint32_t r, g, b;
            std::memcpy(&r, red + k, 4);
            std::memcpy(&g, green + k, 4);
            std::memcpy(&b, blue + k, 4);
            const uint32_t words[3] = {
                (r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16 | (r >> 8 & 0xFF) << 24,
                (g >> 8 & 0xFF) | (b >> 8 & 0xFF) << 8 | (r >> 16 & 0xFF) << 16 |
                    (g >> 16 & 0xFF) << 24,
                (b >> 16 & 0xFF) | (r >> 24) << 8 | (g >> 24) << 16 | (b >> 24) << 24};
            std::memcpy(row, words, 12);
        }
    }
    for (; k < count; ++k, row += 3) {
        row[0] = red[k];
        row[1] = green[k];
        row[2] = blue[k];
    }
}

} // namespace

ImageStatus readPcxHeader(Image& image) {
    if (!image.fileData)
        return ImageNoData;
    if (image.fileSize < kHeaderSize)
        return ImageBadFile;
    ImageCursor c = cursorAt(image, 0);
    if (get8(c) != 10)
        return ImageBadFile;
    if (get8(c) > 5)
        return ImageUnsupported;
    image.variant = static_cast<int8_t>(get8(c));
    const uint8_t bits = get8(c);
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8)
        return ImageBadFile;
    image.bitsPerPixel = static_cast<int8_t>(bits);
    const uint16_t xMin = get16le(c);
    const uint16_t yMin = get16le(c);
    const uint16_t xMax = get16le(c);
    const uint16_t yMax = get16le(c);
    // 16-bit arithmetic: any window wider than the Image's width field comes out below 1.
    image.width = static_cast<int16_t>(xMax - xMin + 1);
    image.height = static_cast<int16_t>(yMax - yMin + 1);
    if (image.width < 1 || image.height < 1)
        return ImageBadFile;
    c = cursorAt(image, 65);
    image.planes = static_cast<int8_t>(get8(c));
    const uint16_t bytesPerLine = get16le(c);
    image.bytesPerLine = static_cast<int16_t>(bytesPerLine);
    if (bytesPerLine > INT16_MAX)
        return ImageUnsupported;
    return ImageOk;
}

ImageStatus decodePcx(Image& image) {
    const int64_t lineLength = int64_t{image.planes} * image.bytesPerLine;
    ScratchLine line(lineLength < 0 ? nullptr : allocBuffer(static_cast<size_t>(lineLength)));
    if (!line) {
        releaseBuffer(image.pixels);
        return ImageOutOfMemory;
    }
    const int64_t rowLength = int64_t{image.width} * image.planes;
    ImageStatus status = makeBuffer(image.pixels, int64_t{image.height} * rowLength);
    if (status != ImageOk)
        return status;

    ImageCursor c = cursorAt(image, kHeaderSize);
    const size_t bytesPerLine = static_cast<size_t>(image.bytesPerLine);
    for (int y = 0; y < image.height; ++y) {
        if (!decodeLine(c, line.get(), static_cast<size_t>(lineLength))) {
            releaseBuffer(image.pixels);
            return ImageBadFile;
        }
        uint8_t* row = image.pixels + y * rowLength;
        // Bytes a short scan line does not hold read as 0.
        if (image.planes == 1) {
            const size_t stored = std::min<size_t>(image.width, bytesPerLine);
            std::memcpy(row, line.get(), stored);
        } else if (image.planes == 3) {
            const uint8_t* red = line.get();
            interleavePlanes(row, red, red + bytesPerLine, red + 2 * bytesPerLine,
                             std::min<size_t>(image.width, bytesPerLine));
        }
    }
    return ImageOk;
}

ImageStatus readPcxPalette(Image& image) {
    releaseBuffer(image.palette);
    if (image.planes == 3)
        return ImageOk;
    ImageStatus status = makeBuffer(image.palette, kPaletteSize);
    if (status != ImageOk)
        return status;
    ImageCursor c = cursorAt(image, int64_t{image.fileSize} - kPaletteSize - 1);
    if (get8(c) != kPaletteMarker || !getBytes(c, image.palette, kPaletteSize)) {
        return ImageBadFile;
    }
    return ImageOk;
}

ImageStatus readPcx(Image& image) {
    if (!image.fileData)
        return ImageNoData;
    ImageStatus status = readPcxHeader(image);
    if (status != ImageOk)
        return status;
    if (image.bitsPerPixel != 8 || image.variant != 1)
        return ImageUnsupported;
    // Other plane counts have no pixel layout we could fill.
    if (image.planes != 1 && image.planes != 3)
        return ImageUnsupported;
    if (!fitsPixelBuffer(pixelBytes(image.width, image.height, image.planes))) {
        return ImageUnsupported;
    }
    status = decodePcx(image);
    if (status == ImageOk)
        status = readPcxPalette(image);
    if (status != ImageOk)
        return status;
    image.bitsPerPixel = static_cast<int8_t>(image.planes * image.bitsPerPixel);
    return ImageOk;
}
