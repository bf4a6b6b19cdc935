// What the readers share: a bounded cursor over fileData, buffer making, and the size check
// every pixel buffer passes before it is made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "texture/image.h"

// All file reads go through one of these. A read past `end` returns zeros and sets `overrun`
// for good, so a step may read a whole header and test once; multi-byte values are built byte
// by byte (little-endian) and never by laying a struct over the file.
struct ImageCursor {
    const uint8_t* data;
    size_t end;
    size_t pos;
    bool overrun;
};

// A cursor at `offset` of the Image's file; past the end it starts out overrun.
inline ImageCursor cursorAt(const Image& image, int64_t offset) {
    ImageCursor c{image.fileData, image.fileData ? image.fileSize : 0, 0, false};
    if (offset < 0 || static_cast<uint64_t>(offset) > c.end) {
        c.pos = c.end;
        c.overrun = true;
    } else {
        c.pos = static_cast<size_t>(offset);
    }
    return c;
}

inline size_t remaining(const ImageCursor& c) {
    return c.overrun ? 0 : c.end - c.pos;
}

inline bool hasBytes(const ImageCursor& c, uint64_t n) {
    return !c.overrun && n <= c.end - c.pos;
}

inline uint8_t get8(ImageCursor& c) {
    if (!hasBytes(c, 1)) {
        c.overrun = true;
        return 0;
    }
    return c.data[c.pos++];
}

inline uint16_t get16le(ImageCursor& c) {
    uint16_t lo = get8(c);
    return static_cast<uint16_t>(lo | (get8(c) << 8));
}

inline uint32_t get32le(ImageCursor& c) {
    uint32_t lo = get16le(c);
    return lo | (static_cast<uint32_t>(get16le(c)) << 16);
}

// Copies n bytes, all or nothing.
inline bool getBytes(ImageCursor& c, uint8_t* out, size_t n) {
    if (!hasBytes(c, n)) {
        c.overrun = true;
        return false;
    }
    if (n > 0)
        std::memcpy(out, c.data + c.pos, n);
    c.pos += n;
    return true;
}

inline bool skipBytes(ImageCursor& c, uint64_t n) {
    if (!hasBytes(c, n)) {
        c.overrun = true;
        return false;
    }
    c.pos += static_cast<size_t>(n);
    return true;
}

// Frees the buffer a field holds and marks it absent.
void releaseBuffer(uint8_t*& field);
// Releases the field, then makes it `bytes` long and zero-filled; ImageOutOfMemory when no
// block of that size can be made, a negative size included.
ImageStatus makeBuffer(uint8_t*& field, int64_t bytes);

// width * height * bytesPerPixel of a picture in 64 bits. A picture whose byte count does not fit
// a signed 32-bit size is refused by the caller with ImageUnsupported rather than wrapped.
inline int64_t pixelBytes(int64_t width, int64_t height, int64_t bytesPerPixel) {
    return width * height * bytesPerPixel;
}
inline bool fitsPixelBuffer(int64_t bytes) {
    return bytes >= 0 && bytes <= INT32_MAX;
}
inline bool fitsInt16(int64_t value) {
    return value >= INT16_MIN && value <= INT16_MAX;
}
