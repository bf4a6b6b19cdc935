// Windows bitmaps with the 40-byte information header: uncompressed or RLE8, 8 bits and up.
#include <algorithm>
#include <cstring>

#include "texture/image.h"
#include "texture/image_reader.h"
#include "texture/image_rows.h"

namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr int64_t kHeadersSize = 14 + kInfoHeaderSize;
constexpr int64_t kPaletteOffset = kHeadersSize;
constexpr int kPaletteEntries = 256;

int64_t rowBytes(const Image& image) {
    return static_cast<int64_t>(image.width) * (image.bitsPerPixel / 8);
}

// A negative width or height (a top-down bitmap) gives no buffer size.
ImageStatus makeBmpPixels(Image& image) {
    if (image.width < 0 || image.height < 0) {
        releaseBuffer(image.pixels);
        return ImageOutOfMemory;
    }
    return makeBuffer(image.pixels, static_cast<int32_t>(image.pixelDataSize));
}

// The file stores the bottom row first.
RowTarget bmpRows(const Image& image) {
    return {.pixels = image.pixels,
            .rowLength = static_cast<size_t>(rowBytes(image)),
            .rows = static_cast<size_t>(image.height),
            .bottomUp = true};
}

// 24- and 32-bit pixels are stored blue first.
bool redBlueExchanged(const Image& image) {
    return image.bitsPerPixel == 24 || image.bitsPerPixel == 32;
}

ImageStatus failDecode(Image& image) {
    releaseBuffer(image.pixels);
    return ImageBadFile;
}

} // namespace

ImageStatus readBmpHeader(Image& image) {
    if (!image.fileData)
        return ImageNoData;
    if (image.fileSize < kHeadersSize)
        return ImageBadFile;
    ImageCursor c = cursorAt(image, 0);
    if (get8(c) != 0x42 || get8(c) != 0x4D)
        return ImageBadFile;
    c = cursorAt(image, 10);
    image.pixelOffset = static_cast<int32_t>(get32le(c));
    if (get32le(c) != kInfoHeaderSize)
        return ImageBadFile;
    const int32_t width = static_cast<int32_t>(get32le(c));
    const int32_t height = static_cast<int32_t>(get32le(c));
    const uint16_t planes = get16le(c);
    const int16_t bits = static_cast<int16_t>(get16le(c));
    const uint32_t compression = get32le(c);

    image.width = static_cast<int16_t>(width);
    image.height = static_cast<int16_t>(height);
    image.planes = static_cast<int8_t>(planes);
    image.bitsPerPixel = static_cast<int8_t>(bits);
    image.variant = static_cast<int8_t>(compression);
    // Values the Image's fields cannot hold would leave a width or bit count that disagrees
    // with the buffer; such a picture is refused, never truncated.
    if (!fitsInt16(width) || !fitsInt16(height) || bits < 0 || bits > INT8_MAX) {
        return ImageUnsupported;
    }
    const int64_t bytes = pixelBytes(width, height, bits / 8);
    image.pixelDataSize = static_cast<uint32_t>(bytes);
    if (width >= 0 && height >= 0 && !fitsPixelBuffer(bytes))
        return ImageUnsupported;
    return ImageOk;
}

ImageStatus copyBmpPixels(Image& image) {
    const int64_t row = rowBytes(image);
    // Every encoder pads stored rows to a multiple of four bytes; the last row needs no pad.
    const int64_t stride = (row + 3) & ~int64_t{3};
    ImageCursor c = cursorAt(image, image.pixelOffset);
    if (image.width >= 0 && image.height > 0 && !hasBytes(c, stride * (image.height - 1) + row)) {
        releaseBuffer(image.pixels);
        return ImageBadFile;
    }
    ImageStatus status = makeBmpPixels(image);
    if (status != ImageOk)
        return status;
    // One pass: each stored row goes straight to its place, red and blue exchanged on the way.
    const RowTarget target = bmpRows(image);
    const bool exchange = redBlueExchanged(image);
    for (size_t y = 0; y < target.rows; ++y) {
        copyPixels(target.row(y), c.data + c.pos + y * stride, static_cast<size_t>(image.width),
                   image.bitsPerPixel / 8, exchange);
    }
    return ImageOk;
}

namespace {

// After a zero count, the second byte is one of these escapes; a larger one starts an
// absolute run of that many bytes.
constexpr uint8_t kRleEndOfLine = 0;
constexpr uint8_t kRleEndOfBitmap = 1;
constexpr uint8_t kRleDelta = 2;

// Where RLE8 runs go. Runs write the picture's bytes back to back, rows in file order, and a
// run that goes on past a row's end carries on at the next row's first byte; decoding ends
// when the picture is full.
struct Rle8Output {
    RowTarget target;
    size_t row;           // bytes per row
    size_t pad;           // bytes that pad a stored row to four
    size_t size;          // the whole picture
    size_t out = 0;       // next byte to write
    size_t lineStart = 0; // where the line being decoded began: a row start, or a delta's end
};

template <class Write> void putRun(Rle8Output& o, size_t count, Write&& write) {
    forEachRowPiece(o.target, o.row, o.out, count, write);
    o.out += count;
}

// An end of line ends the row being filled. Rows narrower than their four-byte stored width
// are sometimes run on through their pad bytes before the end of line: bytes of one line that
// spill past the row's end by no more than its pad are taken back then.
void endLine(Rle8Output& o) {
    const size_t lineRow = o.lineStart / o.row * o.row;
    const size_t used = o.out - lineRow;
    if (used > o.row && used <= o.row + o.pad) {
        // Pad bytes spelled out: they landed on the next rows, which nothing else has
        // reached yet, so they are cleared again.
        for (size_t p = lineRow + o.row; p < o.out; ++p)
            o.target.row(p / o.row)[p % o.row] = 0;
        o.out = lineRow + o.row;
    } else if (o.out % o.row != 0 || o.out == o.lineStart) {
        // A row ended early, or an empty line: go on at the next row.
        o.out = std::min(o.size, (o.out / o.row + 1) * o.row);
    }
    o.lineStart = o.out;
}

// False when the file ends inside the delta.
bool moveByDelta(Rle8Output& o, ImageCursor& c) {
    const size_t right = get8(c);
    const size_t down = get8(c);
    if (c.overrun)
        return false;
    o.out = std::min(o.size, o.out + down * o.row + right);
    o.lineStart = o.out;
    return true;
}

// One cut by the end of the buffer ends decoding there. False when the file ends inside it.
bool copyAbsoluteRun(Rle8Output& o, ImageCursor& c, uint8_t length) {
    const size_t n = std::min<size_t>(length, o.size - o.out);
    if (!hasBytes(c, n))
        return false;
    const uint8_t* from = c.data + c.pos;
    putRun(o, n, [&](uint8_t* to, size_t offset, size_t k) { std::memcpy(to, from + offset, k); });
    skipBytes(c, n);
    return true;
}

} // namespace

ImageStatus decodeBmpRle8(Image& image) {
    ImageStatus status = makeBmpPixels(image);
    if (status != ImageOk)
        return status;
    const RowTarget target = bmpRows(image);
    const size_t row = target.rowLength;
    Rle8Output o{.target = target,
                 .row = row,
                 .pad = ((row + 3) & ~size_t{3}) - row,
                 .size = row * target.rows};
    ImageCursor c = cursorAt(image, image.pixelOffset);
    const size_t start = c.pos;
    while (o.out < o.size) {
        if ((c.pos - start) & 1)
            skipBytes(c, 1); // pad after an odd absolute run
        const uint8_t count = get8(c);
        const uint8_t value = get8(c);
        if (c.overrun)
            return failDecode(image);
        if (count > 0) {
            putRun(o, std::min<size_t>(count, o.size - o.out),
                   [&](uint8_t* to, size_t, size_t n) { std::memset(to, value, n); });
        } else if (value == kRleEndOfLine) {
            endLine(o);
        } else if (value == kRleEndOfBitmap) {
            break;
        } else if (value == kRleDelta) {
            if (!moveByDelta(o, c))
                return failDecode(image);
        } else if (!copyAbsoluteRun(o, c, value)) {
            return failDecode(image);
        }
    }
    // Runs are bytes: a true-colour picture stored as RLE8 has its pixels exchanged afterwards.
    if (redBlueExchanged(image))
        swapRedBlue(image);
    return ImageOk;
}

ImageStatus readBmpPalette(Image& image) {
    releaseBuffer(image.palette);
    if (image.bitsPerPixel > 8)
        return ImageOk;
    // The table is always taken as 256 entries right after the information header.
    ImageCursor c = cursorAt(image, kPaletteOffset);
    if (!hasBytes(c, kPaletteEntries * 4))
        return ImageBadFile;
    ImageStatus status = makeBuffer(image.palette, kPaletteEntries * 3);
    if (status != ImageOk)
        return status;
    for (int i = 0; i < kPaletteEntries; ++i) {
        const uint8_t blue = get8(c);
        const uint8_t green = get8(c);
        const uint8_t red = get8(c);
        get8(c);
        image.palette[3 * i] = red;
        image.palette[3 * i + 1] = green;
        image.palette[3 * i + 2] = blue;
    }
    return ImageOk;
}

ImageStatus readBmp(Image& image) {
    ImageStatus status = readBmpHeader(image);
    if (status != ImageOk)
        return status;
    if (image.bitsPerPixel < 8)
        return ImageUnsupported;
    if (image.variant == 0) {
        status = copyBmpPixels(image);
    } else if (image.variant == 1) {
        status = decodeBmpRle8(image);
    } else {
        return ImageUnsupported;
    }
    // The decoders leave the rows top row first and 24- and 32-bit pixels red first.
    if (status != ImageOk)
        return status;
    return readBmpPalette(image);
}
