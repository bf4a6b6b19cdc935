// Run-length encoded PCX with 8 bits per plane: one plane plus a trailing colour table, or
// three planes (red, green, blue).
#include <algorithm>
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

// Decodes one scan line; a run that would cross its end is cut there.
bool decodeLine(ImageCursor& c, uint8_t* line, size_t length) {
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
            for (size_t k = 0; k < static_cast<size_t>(image.width) && k < bytesPerLine; ++k) {
                for (size_t plane = 0; plane < 3; ++plane) {
                    row[3 * k + plane] = line.get()[plane * bytesPerLine + k];
                }
            }
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
