// The pixel transforms: the fused copy the readers use, and flipRows and swapRedBlue on a
// decoded picture.
#include "texture/image_rows.h"

#include <bit>
#include <cstring>

#include "texture/image.h"

namespace {

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

uint32_t load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
void store32(uint8_t* p, uint32_t v) {
    std::memcpy(p, &v, 4);
}
uint64_t load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}
void store64(uint8_t* p, uint64_t v) {
    std::memcpy(p, &v, 8);
}

// Eight 3-byte pixels at a time, as three 64-bit words (little-endian, byte 0 lowest). Within a
// word the first and third byte of each pixel move two places; the pixels that straddle two
// words take a byte from the neighbour. All words are read before any is written, so it works
// in place. Returns how many pixels it did.
size_t exchange3(uint8_t* out, const uint8_t* in, size_t count) {
    size_t i = 0;
    for (; i + 8 <= count; i += 8, in += 24, out += 24) {
        const uint64_t a = load64(in), b = load64(in + 8), c = load64(in + 16);
        // a: pixels 0, 1 and the first two bytes of 2; b: the last of 2, pixels 3, 4, the first
        // of 5; c: the last two of 5, pixels 6, 7.
        store64(out, (a & 0xFF0000FF0000FF00) | (a >> 16 & 0x00000000FF0000FF) |
                         (a << 16 & 0x0000FF0000FF0000) | (b << 48 & 0x00FF000000000000));
        store64(out + 8, (b & 0x0000FF0000FF0000) | (b >> 16 & 0x000000FF0000FF00) |
                             (b << 16 & 0x00FF0000FF000000) | (a >> 48 & 0xFF) |
                             (c << 48 & 0xFF00000000000000));
        store64(out + 16, (c & 0x00FF0000FF0000FF) | (c >> 16 & 0x0000FF0000FF0000) |
                              (c << 16 & 0xFF0000FF00000000) | (b >> 48 & 0xFF00));
    }
    return i;
}

// Two 4-byte pixels at a time: the fourth byte stays, the first and third trade places.
size_t exchange4(uint8_t* out, const uint8_t* in, size_t count) {
    constexpr uint64_t kKeep = 0xFF00FF00FF00FF00;
    constexpr uint64_t kLow = 0x000000FF000000FF;
    size_t i = 0;
    for (; i + 2 <= count; i += 2, in += 8, out += 8) {
        const uint64_t v = load64(in);
        store64(out, (v & kKeep) | (v >> 16 & kLow) | (v & kLow) << 16);
    }
    return i;
}

} // namespace

void copyPixels(uint8_t* out, const uint8_t* in, size_t count, int pixelSize, bool exchange) {
    const size_t size = static_cast<size_t>(pixelSize);
    if (count == 0)
        return;
    if (!exchange || pixelSize < 3) {
        if (out != in)
            std::memcpy(out, in, count * size);
        return;
    }
    size_t done = 0;
    if (kLittleEndian && pixelSize == 3)
        done = exchange3(out, in, count);
    else if (kLittleEndian && pixelSize == 4)
        done = exchange4(out, in, count);
    for (size_t i = done; i < count; ++i) {
        const uint8_t* from = in + i * size;
        uint8_t* to = out + i * size;
        const uint8_t first = from[0];
        const uint8_t third = from[2];
        if (to != from) {
            to[1] = from[1];
            for (size_t k = 3; k < size; ++k)
                to[k] = from[k];
        }
        to[0] = third;
        to[2] = first;
    }
}

void fillPixels(uint8_t* out, const uint8_t* pixel, size_t count, int pixelSize) {
    if (pixelSize == 1) {
        std::memset(out, pixel[0], count);
    } else if (pixelSize == 4) {
        const uint32_t value = load32(pixel);
        for (size_t i = 0; i < count; ++i)
            store32(out + 4 * i, value);
    } else if (pixelSize == 3) {
        // Four pixels make three whole words.
        uint8_t four[12];
        for (int k = 0; k < 12; ++k)
            four[k] = pixel[k % 3];
        const uint32_t w0 = load32(four), w1 = load32(four + 4), w2 = load32(four + 8);
        size_t i = 0;
        for (; i + 4 <= count; i += 4, out += 12) {
            store32(out, w0);
            store32(out + 4, w1);
            store32(out + 8, w2);
        }
        for (; i < count; ++i, out += 3)
            std::memcpy(out, pixel, 3);
    } else {
        const size_t size = static_cast<size_t>(pixelSize);
        for (size_t i = 0; i < count; ++i)
            std::memcpy(out + i * size, pixel, size);
    }
}

void swapRedBlue(Image& image) {
    const int pixelSize = image.bitsPerPixel / 8;
    // Pixels of one or two bytes have no third byte of their own.
    if (!image.pixels || pixelSize < 3 || image.width <= 0 || image.height <= 0)
        return;
    const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    copyPixels(image.pixels, image.pixels, count, pixelSize, true);
}

void flipRows(Image& image) {
    const int pixelSize = image.bitsPerPixel / 8;
    if (!image.pixels || pixelSize <= 0 || image.width <= 0 || image.height <= 1)
        return;
    const size_t rowLength = static_cast<size_t>(image.width) * static_cast<size_t>(pixelSize);
    uint8_t* top = image.pixels;
    uint8_t* bottom = image.pixels + rowLength * static_cast<size_t>(image.height - 1);
    uint8_t chunk[4096];
    while (top < bottom) {
        for (size_t done = 0; done < rowLength; done += sizeof chunk) {
            const size_t n = std::min(sizeof chunk, rowLength - done);
            std::memcpy(chunk, top + done, n);
            std::memcpy(top + done, bottom + done, n);
            std::memcpy(bottom + done, chunk, n);
        }
        top += rowLength;
        bottom -= rowLength;
    }
}
