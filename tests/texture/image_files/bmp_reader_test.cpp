#include <gtest/gtest.h>

#include "tests/texture/image_files/image_bytes.h"

namespace {

// A BMP with the 40-byte information header; pixel data at `offset`, by default right after
// the headers or, at 8 bits and fewer, after a 256-entry colour table.
Bytes bmp(int32_t width, int32_t height, int bits, uint32_t compression, const ByteList& pixels,
          int32_t offset = -1) {
    const bool table = bits <= 8 && offset < 0;
    if (offset < 0)
        offset = 54 + (table ? 1024 : 0);
    Bytes b;
    b.raw({'B', 'M'}).u32(0).u32(0).u32(static_cast<uint32_t>(offset));
    b.u32(40).u32(static_cast<uint32_t>(width)).u32(static_cast<uint32_t>(height));
    b.u16(1).u16(static_cast<unsigned>(bits)).u32(compression).u32(0).u32(0).u32(0).u32(0).u32(0);
    if (table) {
        for (int i = 0; i < 256; ++i)
            b.raw({unsigned(i), unsigned(i ^ 0x55), unsigned(255 - i), 0});
    }
    b.padTo(static_cast<size_t>(offset));
    return b.append(pixels);
}

Bytes rle8(int width, int height, const ByteList& data) {
    return bmp(width, height, 8, 1, data);
}

TEST(BmpReader, Uncompressed24BitComesOutTopRowFirstInRgbOrder) {
    ByteList rows;
    for (int i = 0; i < 4; ++i)
        rows.insert(rows.end(), {255, 0, 0}); // stored first: bottom, blue
    for (int i = 0; i < 4; ++i)
        rows.insert(rows.end(), {0, 0, 255}); // then top, red
    HeldImage im(bmp(4, 2, 24, 0, rows));
    ASSERT_EQ(readBmp(im.image), ImageOk);
    EXPECT_EQ(im->width, 4);
    EXPECT_EQ(im->height, 2);
    EXPECT_EQ(im->bitsPerPixel, 24);
    EXPECT_EQ(im->pixelDataSize, 24u);
    EXPECT_EQ(im.pixels(6), (ByteList{255, 0, 0, 255, 0, 0}));
    EXPECT_EQ(ByteList(im->pixels + 12, im->pixels + 15), (ByteList{0, 0, 255}));
    EXPECT_EQ(im->palette, nullptr);
}

TEST(BmpReader, RowsNarrowerThanFourBytesSkipTheirPadding) {
    // 1 x 3 at 24 bits: each stored row is 3 bytes and 1 pad byte; the last row may lack its pad.
    ByteList stored = {1, 2, 3, 0xEE, 4, 5, 6, 0xEE, 7, 8, 9};
    HeldImage im(bmp(1, 3, 24, 0, stored));
    ASSERT_EQ(readBmp(im.image), ImageOk);
    EXPECT_EQ(im.pixels(9), (ByteList{9, 8, 7, 6, 5, 4, 3, 2, 1}));

    HeldImage shortFile(bmp(1, 3, 24, 0, stored).cut(1));
    EXPECT_EQ(readBmp(shortFile.image), ImageBadFile);
    EXPECT_EQ(shortFile->pixels, nullptr);
}

TEST(BmpReader, ThirtyTwoBitKeepsTheFourthByte) {
    HeldImage im(bmp(1, 1, 32, 0, {10, 20, 30, 40}));
    ASSERT_EQ(readBmp(im.image), ImageOk);
    EXPECT_EQ(im.pixels(4), (ByteList{30, 20, 10, 40}));
}

TEST(BmpReader, EightBitKeepsIndicesAndReadsAll256TableEntries) {
    Bytes file = bmp(4, 1, 8, 0, {0, 1, 200, 255});
    file.put32(46, 2); // colours used says 2; the table is still taken whole
    HeldImage im(file);
    ASSERT_EQ(readBmp(im.image), ImageOk);
    EXPECT_EQ(im.pixels(4), (ByteList{0, 1, 200, 255}));
    ASSERT_NE(im->palette, nullptr);
    EXPECT_EQ(im.paletteEntry(0), (ByteList{255, 0x55, 0})); // stored blue, green, red
    EXPECT_EQ(im.paletteEntry(200), (ByteList{55, 200 ^ 0x55, 200}));
    EXPECT_EQ(im.paletteEntry(255), (ByteList{0, 255 ^ 0x55, 255}));
}

TEST(BmpReader, SixteenAndSixtyFourBitAreReadAsStored) {
    HeldImage im(bmp(2, 1, 16, 0, {1, 2, 3, 4}));
    ASSERT_EQ(readBmp(im.image), ImageOk);
    EXPECT_EQ(im->bitsPerPixel, 16);
    EXPECT_EQ(im.pixels(4), (ByteList{1, 2, 3, 4}));
    EXPECT_EQ(im->palette, nullptr);
    // So is any wider whole-byte pixel: 64 bits are eight bytes a pixel, rows bottom first.
    HeldImage wide(bmp(1, 2, 64, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    ASSERT_EQ(readBmp(wide.image), ImageOk);
    EXPECT_EQ(wide.pixels(16), (ByteList{9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(BmpReader, RefusesVariantsItDoesNotDecode) {
    for (int bits : {1, 4}) {
        HeldImage im(bmp(8, 1, bits, 0, ByteList(4)));
        EXPECT_EQ(readBmp(im.image), ImageUnsupported) << bits;
        EXPECT_EQ(im->pixels, nullptr);
    }
    for (uint32_t compression : {2u, 3u, 0x102u}) {
        HeldImage im(bmp(1, 1, 24, compression, ByteList(4)));
        EXPECT_EQ(readBmp(im.image), ImageUnsupported) << compression;
    }
    // Compression is judged by its low 8 bits: 0x101 is RLE8.
    HeldImage rle(bmp(1, 1, 8, 0x101, {1, 9, 0, 1}));
    EXPECT_EQ(readBmp(rle.image), ImageOk);
    EXPECT_EQ(rle->pixels[0], 9);
}

TEST(BmpReader, RefusesHeadersOfTheWrongKind) {
    for (uint32_t infoSize : {12u, 108u, 124u}) {
        HeldImage im(bmp(1, 1, 24, 0, ByteList(4)).put32(14, infoSize));
        EXPECT_EQ(readBmp(im.image), ImageBadFile) << infoSize;
        EXPECT_EQ(im->pixelOffset, 54);
    }
    HeldImage signature(bmp(1, 1, 24, 0, ByteList(4)).put8(1, 'N'));
    EXPECT_EQ(readBmp(signature.image), ImageBadFile);
    HeldImage headerCut(bmp(1, 1, 24, 0, {}).cut(1));
    EXPECT_EQ(readBmp(headerCut.image), ImageBadFile);
    HeldImage headersOnly(bmp(4, 0, 24, 0, {})); // no rows: the headers are the whole file
    EXPECT_EQ(readBmp(headersOnly.image), ImageOk);
    HeldImage noFile;
    EXPECT_EQ(readBmp(noFile.image), ImageNoData);
}

TEST(BmpReader, RefusesSizesTheImageCannotHold) {
    struct Case {
        int32_t width, height;
        int bits;
        ImageStatus status;
    };
    const Case cases[] = {
        {1, -1, 24, ImageOutOfMemory},    // top-down: negative size, no buffer
        {-2, -2, 24, ImageOutOfMemory},   // the signs cancel in the product, not in the picture
        {65537, 1, 24, ImageUnsupported}, // would keep width 1 with a 65537-pixel size
        {1, 70000, 8, ImageUnsupported},
        {32767, 32767, 32, ImageUnsupported}, // more than a signed 32-bit size
        {1, 1, 280, ImageUnsupported},        // low byte 24, but 35 bytes a pixel
        {1, 1, -200, ImageUnsupported},
    };
    for (const Case& c : cases) {
        HeldImage im(bmp(c.width, c.height, c.bits, 0, ByteList(64)));
        EXPECT_EQ(readBmp(im.image), c.status) << c.width << " x " << c.height << " x " << c.bits;
        EXPECT_EQ(im->pixels, nullptr);
    }
}

TEST(BmpReader, RefusesPixelsAndTablesBeyondTheFile) {
    HeldImage pastEnd(bmp(2, 2, 24, 0, ByteList(16), 1 << 20));
    pastEnd->fileSize = 54 + 16; // the offset points far beyond the bytes held
    EXPECT_EQ(readBmp(pastEnd.image), ImageBadFile);
    HeldImage negative(bmp(1, 1, 24, 0, ByteList(4)).put32(10, 0xFFFFFFF0u));
    EXPECT_EQ(readBmp(negative.image), ImageBadFile);
    HeldImage rlePastEnd(rle8(2, 2, {2, 1, 0, 1}).put32(10, 5000));
    EXPECT_EQ(readBmp(rlePastEnd.image), ImageBadFile);

    // Pixels inside the colour table's 1024 bytes: the table needs bytes the file lacks.
    HeldImage shortTable(bmp(4, 1, 8, 0, {1, 2, 3, 4}, 54).padTo(54 + 100));
    EXPECT_EQ(readBmp(shortTable.image), ImageBadFile);
    EXPECT_EQ(shortTable->palette, nullptr);
}

TEST(BmpReader, Rle8RunsAndAbsoluteRuns) {
    HeldImage run(rle8(3, 1, {0x03, 0x41, 0x00, 0x01}));
    ASSERT_EQ(readBmp(run.image), ImageOk);
    EXPECT_EQ(run.pixels(3), (ByteList{0x41, 0x41, 0x41}));

    // Absolute run of three, its pad byte, a run of two, end of line, end of bitmap.
    HeldImage mixed(rle8(5, 1, {0, 3, 0x10, 0x20, 0x30, 0, 2, 0x50, 0, 0, 0, 1}));
    ASSERT_EQ(readBmp(mixed.image), ImageOk);
    EXPECT_EQ(mixed.pixels(5), (ByteList{0x10, 0x20, 0x30, 0x50, 0x50}));
}

TEST(BmpReader, Rle8EndOfLineAndDeltaMoveTheOutput) {
    // Rows in file order, bottom first. A short row is ended early; a row filled exactly
    // stays put at its end of line; an end of line on an empty row skips it.
    HeldImage lines(rle8(4, 4, {2, 7, 0, 0, 4, 8, 0, 0, 0, 0, 4, 9, 0, 1}));
    ASSERT_EQ(readBmp(lines.image), ImageOk);
    EXPECT_EQ(lines.pixels(16), (ByteList{9, 9, 9, 9, 0, 0, 0, 0, 8, 8, 8, 8, 7, 7, 0, 0}));

    // Delta: two bytes right, one row down, from (1, 0); then a run of two.
    HeldImage delta(rle8(4, 2, {1, 5, 0, 2, 2, 1, 2, 6, 0, 1}));
    ASSERT_EQ(readBmp(delta.image), ImageOk);
    EXPECT_EQ(delta.pixels(8), (ByteList{0, 0, 0, 6, 5, 0, 0, 0}));
    // ...its run continues onto the next row in file order.
    HeldImage wrap(rle8(4, 2, {0, 2, 3, 0, 2, 6, 0, 1}));
    ASSERT_EQ(readBmp(wrap.image), ImageOk);
    EXPECT_EQ(wrap.pixels(8), (ByteList{6, 0, 0, 0, 0, 0, 0, 6}));
}

TEST(BmpReader, Rle8PadBytesSpelledOutStayInTheirRow) {
    // Width 3: some encoders run each row on through its pad byte before the end of line.
    HeldImage im(rle8(3, 2, {4, 1, 0, 0, 3, 2, 1, 0xEE, 0, 0, 0, 1}));
    ASSERT_EQ(readBmp(im.image), ImageOk);
    EXPECT_EQ(im.pixels(6), (ByteList{2, 2, 2, 1, 1, 1}));
    // Cleared even when nothing covers them again, and after a delta the line starts there.
    HeldImage uncovered(rle8(3, 2, {4, 1, 0, 0, 0, 1}));
    ASSERT_EQ(readBmp(uncovered.image), ImageOk);
    EXPECT_EQ(uncovered.pixels(6), (ByteList{0, 0, 0, 1, 1, 1}));
    HeldImage afterDelta(rle8(3, 3, {0, 2, 0, 1, 4, 7, 0, 0, 0, 1}));
    ASSERT_EQ(readBmp(afterDelta.image), ImageOk);
    EXPECT_EQ(afterDelta.pixels(9), (ByteList{0, 0, 0, 7, 7, 7, 0, 0, 0}));
}

TEST(BmpReader, Rle8RowsLieBackToBackWithOrWithoutEndOfLine) {
    struct Case {
        int width, bits;
        ByteList data;
        ByteList topRowFirst;
    };
    const ByteList eightBit = {2, 2, 2, 1, 1, 1};
    const ByteList trueColour = {60, 50, 40, 30, 20, 10}; // stored blue first
    for (const Case& t : std::vector<Case>{
             // Width 3 at 8 bits, each stored row one pad byte short of four.
             {3, 8, {3, 1, 3, 2}, eightBit}, // filled without end of line or end of bitmap
             {3, 8, {3, 1, 0, 0, 3, 2, 0, 0, 0, 1}, eightBit},
             {3, 8, {5, 1, 1, 2}, {1, 1, 2, 1, 1, 1}}, // a run goes on at the next row
             {3, 8, {0, 4, 1, 1, 1, 2, 2, 3}, {2, 3, 3, 1, 1, 1}}, // an absolute one too
             // One 24-bit pixel a row; its pad byte spelled out or not.
             {1, 24, {0, 6, 10, 20, 30, 40, 50, 60}, trueColour},
             {1, 24, {0, 3, 10, 20, 30, 0, 0, 0, 0, 3, 40, 50, 60, 0, 0, 1}, trueColour},
             {1, 24, {0, 4, 10, 20, 30, 0xEE, 0, 0, 0, 3, 40, 50, 60, 0}, trueColour},
             // 32 bits: the fourth byte stays; an absolute run crosses the row end.
             {1, 32, {0, 8, 1, 2, 3, 4, 5, 6, 7, 8}, {7, 6, 5, 8, 3, 2, 1, 4}},
             {1, 32, {0, 4, 1, 2, 3, 4, 0, 0, 0, 4, 5, 6, 7, 8, 0, 1}, {7, 6, 5, 8, 3, 2, 1, 4}},
         }) {
        HeldImage im(bmp(t.width, 2, t.bits, 1, t.data));
        ASSERT_EQ(readBmp(im.image), ImageOk) << t.width << "x2 at " << t.bits;
        EXPECT_EQ(im.pixels(t.topRowFirst.size()), t.topRowFirst) << t.width << "x2 at " << t.bits;
    }
}

TEST(BmpReader, Rle8StopsAtTheEndOfTheBuffer) {
    // Runs and a delta that reach past the picture end it there without an end-of-bitmap.
    for (const ByteList& data :
         {ByteList{0xFF, 7, 0xFF, 7}, ByteList{0, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0},
          ByteList{0, 2, 200, 200}}) {
        HeldImage im(rle8(2, 2, data));
        EXPECT_EQ(readBmp(im.image), ImageOk);
    }
    HeldImage full(rle8(2, 2, {0xFF, 7}));
    ASSERT_EQ(readBmp(full.image), ImageOk);
    EXPECT_EQ(full.pixels(4), (ByteList{7, 7, 7, 7}));
}

TEST(BmpReader, Rle8DataThatEndsEarlyIsRefused) {
    for (const ByteList& data :
         {ByteList{2, 7}, ByteList{2, 7, 0}, ByteList{0, 5, 1, 2}, ByteList{0, 2, 1}}) {
        HeldImage im(rle8(4, 2, data));
        EXPECT_EQ(readBmp(im.image), ImageBadFile) << data.size();
        EXPECT_EQ(im->pixels, nullptr);
    }
}

} // namespace
