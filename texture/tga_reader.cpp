// Truevision TGA types 1, 2, 9 and 10; a colour map must be 256 entries of 24 bits from 0.
#include <algorithm>
#include <cstring>

#include "texture/image.h"
#include "texture/image_reader.h"

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
    ImageCursor c = cursorAt(image, pixelDataOffset(tgaLayout(image)));
    if (!hasBytes(c, image.pixelDataSize)) {
        releaseBuffer(image.pixels);
        return ImageBadFile;
    }
    ImageStatus status = makeBuffer(image.pixels, image.pixelDataSize);
    if (status != ImageOk)
        return status;
    getBytes(c, image.pixels, image.pixelDataSize);
    return ImageOk;
}

ImageStatus decodeTgaRle(Image& image) {
    const int pixelSize = image.bitsPerPixel / 8;
    ImageStatus status = makeBuffer(image.pixels, image.pixelDataSize);
    if (status != ImageOk)
        return status;
    if (pixelSize <= 0)
        return ImageOk; // no pixel bytes to decode
    const size_t size = image.pixelDataSize;
    ImageCursor c = cursorAt(image, pixelDataOffset(tgaLayout(image)));
    size_t out = 0;
    // Packets may run across row ends; one that would pass the buffer's end is cut there.
    while (size - out >= static_cast<size_t>(pixelSize)) {
        const uint8_t header = get8(c);
        const size_t room = (size - out) / pixelSize;
        if (header & 0x80) {
            const size_t count = std::min<size_t>(header - 127, room);
            uint8_t* first = image.pixels + out;
            if (!getBytes(c, first, pixelSize))
                return failDecode(image);
            for (size_t i = 1; i < count; ++i)
                std::memcpy(first + i * pixelSize, first, pixelSize);
            out += count * pixelSize;
        } else {
            const size_t count = std::min<size_t>(header + 1, room);
            if (!getBytes(c, image.pixels + out, count * pixelSize))
                return failDecode(image);
            out += count * pixelSize;
        }
        if (c.overrun)
            return failDecode(image);
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
        if (status == ImageOk)
            swapRedBlue(image);
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
        if (status == ImageOk)
            swapRedBlue(image);
        break;
    default: return ImageUnsupported;
    }
    if (status != ImageOk)
        return status;
    if (!(layout.descriptor & kTopRowFirst))
        flipRows(image);
    return ImageOk;
}
