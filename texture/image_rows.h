// Putting stored rows into an Image's pixels in one pass: where each stored row belongs (files
// that keep the bottom row first) and the red-blue exchange done while copying, so a picture
// is written once instead of copied, flipped and exchanged in three passes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

// Where the stored rows of a picture go: `rows` rows of `rowLength` bytes, back to back, top row
// first.
struct RowTarget {
    uint8_t* pixels;
    size_t rowLength;
    size_t rows;
    bool bottomUp; // the file stores the bottom row first

    uint8_t* row(size_t storedRow) const {
        return pixels + (bottomUp ? rows - 1 - storedRow : storedRow) * rowLength;
    }
};

// Copies `count` pixels of `pixelSize` bytes. With `exchange` the first and third byte of each
// pixel trade places (blue-first to red-first); a pixel of fewer than 3 bytes is copied as is.
// `out` may be `in` (an exchange in place), but the two may not otherwise overlap.
void copyPixels(uint8_t* out, const uint8_t* in, size_t count, int pixelSize, bool exchange);

// Writes `count` copies of the pixel at `pixel` from `out` on.
void fillPixels(uint8_t* out, const uint8_t* pixel, size_t count, int pixelSize);

// For `count` bytes of stored pixel data starting `position` bytes into it, where stored rows
// are `stride` bytes apart (a row plus its pad): calls put(target, offset, n) for each part that
// lands in a row, `offset` counting from `position`. Pad bytes are dropped. The caller keeps
// position + count within stride x rows.
template <class Put>
void forEachRowPiece(const RowTarget& target, size_t stride, size_t position, size_t count,
                     Put&& put) {
    size_t done = 0;
    while (done < count) {
        const size_t storedRow = position / stride;
        const size_t column = position % stride;
        const size_t n = std::min(count - done, stride - column);
        if (column < target.rowLength)
            put(target.row(storedRow) + column, done, std::min(n, target.rowLength - column));
        position += n;
        done += n;
    }
}
