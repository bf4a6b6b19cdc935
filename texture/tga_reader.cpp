// Truevision TGA types 1, 2, 9 and 10; a colour map must be 256 entries of 24 bits from 0.
#include <algorithm>
#include <cstring>

#include "texture/image.h"
#include "texture/image_reader.h"
#include "texture/image_rows.h"

namespace {

constexpr int64_t kHeaderSize = 18;
constexpr int64_t kColourMapSize = 768;
constexpr uint8_t kTopRowFirst = 0x20;

struct TgaLayout {
    int64_t idLength;
    uint8_t colourMapType;
    uint8_t descriptor;
};

// The header bytes the Image has no field for, read again from the file.
TgaLayout tgaLayout(const Image& image) {
    ImageCursor c = cursorAt(image, 0);
    TgaLayout layout{};
    layout.idLength = get8(c);
    layout.colourMapType = get8(c);
    c = cursorAt(image, 17);
    layout.descriptor = get8(c);
    return layout;
}

int64_t colourMapOffset(const TgaLayout& layout) {
    return kHeaderSize + layout.idLength;
}

int64_t pixelDataOffset(const TgaLayout& layout) {
    return colourMapOffset(layout) + (layout.colourMapType == 1 ? kColourMapSize : 0);
}

// Pixel depth is a signed byte: at most 15 bytes a pixel.
constexpr int kMaxPixelSize = INT8_MAX / 8;

// Types 2 and 10 hold blue-first pixels; 1 and 9 hold colour-map indices.
bool isTrueColour(const Image& image) {
    return image.variant == 2 || image.variant == 10;
}

// True-colour rows go straight to their place as they are copied. Colour-mapped rows stay in
// file order until the colour map is read (readTga flips them then).
RowTarget tgaRows(const Image& image, const TgaLayout& layout) {
    const size_t rowLength =
        static_cast<size_t>(image.width) * static_cast<size_t>(image.bitsPerPixel / 8);
    const bool bottomUp = isTrueColour(image) && !(layout.descriptor & kTopRowFirst);
    return {.pixels = image.pixels,
            .rowLength = rowLength,
            .rows = static_cast<size_t>(image.height),
            .bottomUp = bottomUp};
}

ImageStatus failDecode(Image& image) {
    releaseBuffer(image.pixels);
    return ImageBadFile;
}

} // namespace

ImageStatus readTgaHeader(Image& image) {
    if (!image.fileData)
        return ImageNoData;
    if (image.fileSize < kHeaderSize)
        return ImageBadFile;
    ImageCursor c = cursorAt(image, 1);
    const uint8_t colourMapType = get8(c);
    if (colourMapType > 1)
        return ImageUnsupported;
    image.variant = static_cast<int8_t>(get8(c));
    if (image.variant > 11)
        return ImageUnsupported;
    const uint16_t firstEntry = get16le(c);
    const uint16_t mapLength = get16le(c);
    const uint8_t entryBits = get8(c);
    if (colourMapType == 1 && (firstEntry != 0 || mapLength != 256 || entryBits != 24)) {
        return ImageUnsupported;
    }
    c = cursorAt(image, 12);
    image.width = static_cast<int16_t>(get16le(c));
    image.height = static_cast<int16_t>(get16le(c));
    if (image.width < 1 || image.height < 1)
        return ImageBadFile;
    const uint8_t bits = get8(c);
    image.bitsPerPixel = static_cast<int8_t>(bits);
    // Bits 6 and 7 (interleaving) must be clear; 0x20 with alpha bits declared is refused too.
    if (get8(c) > 32)
        return ImageUnsupported;
    if (bits > INT8_MAX)
        return ImageUnsupported;
    const int64_t bytes = pixelBytes(image.width, image.height, bits / 8);
    image.pixelDataSize = static_cast<uint32_t>(bytes);
    if (!fitsPixelBuffer(bytes))
        return ImageUnsupported;
    return ImageOk;
}

ImageStatus copyTgaPixels(Image& image) {
    const TgaLayout layout = tgaLayout(image);
    ImageCursor c = cursorAt(image, pixelDataOffset(layout));
    if (!hasBytes(c, image.pixelDataSize)) {
        releaseBuffer(image.pixels);
        return ImageBadFile;
    }
    ImageStatus status = makeBuffer(image.pixels, image.pixelDataSize);
    if (status != ImageOk)
        return status;
    const RowTarget target = tgaRows(image, layout);
    const bool exchange = isTrueColour(image);
    for (size_t y = 0; y < target.rows; ++y) {
        copyPixels(target.row(y), c.data + c.pos + y * target.rowLength,
                   static_cast<size_t>(image.width), image.bitsPerPixel / 8, exchange);
    }
    return ImageOk;
}

ImageStatus decodeTgaRle(Image& image) {
    const int pixelSize = image.bitsPerPixel / 8;
    ImageStatus status = makeBuffer(image.pixels, image.pixelDataSize);
    if (status != ImageOk)
        return status;
    if (pixelSize <= 0)
        return ImageOk; // no pixel bytes to decode
    const TgaLayout layout = tgaLayout(image);
    const RowTarget target = tgaRows(image, layout);
    const bool exchange = isTrueColour(image);
    const size_t size = image.pixelDataSize;
    ImageCursor c = cursorAt(image, pixelDataOffset(layout));
    size_t out = 0;
    // Packets may run across row ends; one that would pass the buffer's end is cut there. Each
    // packet is checked against the file once and then written row piece by row piece.
    while (size - out >= static_cast<size_t>(pixelSize)) {
        const uint8_t header = get8(c);
        const size_t room = (size - out) / pixelSize;
        size_t count;
        if (header & 0x80) {
            count = std::min<size_t>(header - 127, room);
            uint8_t pixel[kMaxPixelSize];
            if (!getBytes(c, pixel, pixelSize))
                return failDecode(image);
            copyPixels(pixel, pixel, 1, pixelSize, exchange);
            forEachRowPiece(target, target.rowLength, out, count * pixelSize,
                            [&](uint8_t* to, size_t, size_t n) {
                                fillPixels(to, pixel, n / pixelSize, pixelSize);
                            });
        } else {
            count = std::min<size_t>(header + 1, room);
            if (!hasBytes(c, count * pixelSize))
                return failDecode(image);
            const uint8_t* from = c.data + c.pos;
            forEachRowPiece(target, target.rowLength, out, count * pixelSize,
                            [&](uint8_t* to, size_t offset, size_t n) {
                                copyPixels(to, from + offset, n / pixelSize, pixelSize, exchange);
                            });
            skipBytes(c, count * pixelSize);
        }
        out += count * pixelSize;
    }
    return ImageOk;
}

ImageStatus readTgaPalette(Image& image) {
    releaseBuffer(image.palette);
    ImageCursor c = cursorAt(image, colourMapOffset(tgaLayout(image)));
    if (!hasBytes(c, kColourMapSize))
        return ImageBadFile;
    ImageStatus status = makeBuffer(image.palette, kColourMapSize);
    if (status != ImageOk)
        return status;
    getBytes(c, image.palette, kColourMapSize);
    for (int i = 0; i < kColourMapSize; i += 3)
        std::swap(image.palette[i], image.palette[i + 2]);
    return ImageOk;
}

ImageStatus readTga(Image& image) {
    ImageStatus status = readTgaHeader(image);
    if (status != ImageOk)
        return status;
    const TgaLayout layout = tgaLayout(image);
    const int64_t size = image.pixelDataSize;
    switch (image.variant) {
    case 1:
        if (size + layout.idLength + kHeaderSize + kColourMapSize > image.fileSize ||
            layout.colourMapType != 1) {
            return ImageBadFile;
        }
        status = copyTgaPixels(image);
        if (status == ImageOk)
            status = readTgaPalette(image);
        break;
    case 2:
        if (size + layout.idLength + kHeaderSize > image.fileSize || layout.colourMapType != 0) {
            return ImageBadFile;
        }
        status = copyTgaPixels(image);
        break;
    case 9:
        if (layout.colourMapType != 1)
            return ImageBadFile;
        status = decodeTgaRle(image);
        if (status == ImageOk)
            status = readTgaPalette(image);
        break;
    case 10:
        if (layout.colourMapType != 0)
            return ImageBadFile;
        status = decodeTgaRle(image);
        break;
    default: return ImageUnsupported;
    }
    if (status != ImageOk)
        return status;
    // True-colour pixels were put in place and exchanged red-first as they were decoded.
    if (!isTrueColour(image) && !(layout.descriptor & kTopRowFirst))
        flipRows(image);
    return ImageOk;
}
