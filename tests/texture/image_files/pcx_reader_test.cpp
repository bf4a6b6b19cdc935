#include <gtest/gtest.h>

#include "tests/texture/image_files/image_bytes.h"

namespace {

// A PCX header for a window (0, 0)-(width - 1, height - 1), then the encoded data, then (for
// one plane) the marker and a colour table whose entry i is i, i + 1, i + 2.
Bytes pcx(int width, int height, int planes, int bytesPerLine, const ByteList& encoded,
          bool table = true) {
    Bytes b;
    b.raw({10, 5, 1, 8}).u16(0).u16(0).u16(unsigned(width - 1)).u16(unsigned(height - 1));
    b.padTo(65).u8(unsigned(planes)).u16(unsigned(bytesPerLine)).padTo(128).append(encoded);
    if (table) {
        b.u8(12);
        for (int i = 0; i < 256; ++i)
            b.raw({unsigned(i), unsigned(i + 1) & 0xFF, unsigned(i + 2) & 0xFF});
    }
    return b;
}

TEST(PcxReader, RunLengthCodes) {
    // 0xC0 is a literal; 0xC1 0x55 one 0x55; 0xC5 0xC0 five 0xC0; 0xFF 0x00 sixty-three zeros.
    HeldImage im(pcx(70, 1, 1, 70, {0xC0, 0xC1, 0x55, 0xC5, 0xC0, 0xFF, 0x00}));
    ASSERT_EQ(readPcx(im.image), ImageOk);
    ByteList expected = {0xC0, 0x55, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0};
    expected.resize(70, 0);
    EXPECT_EQ(im.pixels(70), expected);
}

TEST(PcxReader, OnePlaneGivesIndicesAndTheTrailingTable) {
    HeldImage im(pcx(2, 2, 1, 2, {1, 2, 0xC2, 200}));
    ASSERT_EQ(readPcx(im.image), ImageOk);
    EXPECT_EQ(im->bitsPerPixel, 8);
    EXPECT_EQ(im->variant, 1);
    EXPECT_EQ(im.pixels(4), (ByteList{1, 2, 200, 200})); // top row first, as stored
    ASSERT_NE(im->palette, nullptr);
    EXPECT_EQ(im.paletteEntry(200), (ByteList{200, 201, 202}));
}

TEST(PcxReader, ThreePlanesInterleaveIntoRgb) {
    // Width 3, bytes per line 4: pixel k takes scan-line bytes k, 4 + k and 8 + k.
    HeldImage im(pcx(3, 1, 3, 4, {1, 2, 3, 0x77, 4, 5, 6, 0x77, 7, 8, 9, 0x77}, false));
    ASSERT_EQ(readPcx(im.image), ImageOk);
    EXPECT_EQ(im->bitsPerPixel, 24);
    EXPECT_EQ(im->palette, nullptr);
    EXPECT_EQ(im.pixels(9), (ByteList{1, 4, 7, 2, 5, 8, 3, 6, 9}));
}

TEST(PcxReader, RunsAreCutAtTheEndOfTheirScanLine) {
    HeldImage im(pcx(2, 2, 1, 2, {0xC3, 7, 0xC2, 8}));
    ASSERT_EQ(readPcx(im.image), ImageOk);
    EXPECT_EQ(im.pixels(4), (ByteList{7, 7, 8, 8}));
}

TEST(PcxReader, BytesMissingFromShortLinesReadAsZero) {
    HeldImage one(pcx(4, 1, 1, 2, {5, 6}));
    ASSERT_EQ(readPcx(one.image), ImageOk);
    EXPECT_EQ(one.pixels(4), (ByteList{5, 6, 0, 0}));

    HeldImage three(pcx(3, 1, 3, 2, {1, 2, 3, 4, 5, 6}, false));
    ASSERT_EQ(readPcx(three.image), ImageOk);
    EXPECT_EQ(three.pixels(9), (ByteList{1, 3, 5, 2, 4, 6, 0, 0, 0}));
}

TEST(PcxReader, WindowGivesTheSize) {
    Bytes file = pcx(1, 1, 1, 64, {});
    file.put16(8, 63).put16(10, 63);
    file.data.insert(file.data.begin() + 128, {0xFF, 9, 0xC1, 9}); // 64 bytes, 64 times
    for (int i = 1; i < 64; ++i)
        file.data.insert(file.data.begin() + 128, {0xFF, 9, 0xC1, 9});
    HeldImage im(file);
    ASSERT_EQ(readPcx(im.image), ImageOk);
    EXPECT_EQ(im->width, 64);
    EXPECT_EQ(im->height, 64);
    EXPECT_EQ(im->pixels[64 * 64 - 1], 9);
}

TEST(PcxReader, HeaderChecks) {
    struct Case {
        size_t at;
        unsigned value;
        ImageStatus status;
    };
    const Case cases[] = {
        {0, 11, ImageBadFile},    // manufacturer
        {1, 6, ImageUnsupported}, // version
        {3, 3, ImageBadFile},     // bits per plane
        {3, 1, ImageUnsupported},
        {3, 4, ImageUnsupported},
        {2, 0, ImageUnsupported},  // encoding
        {65, 2, ImageUnsupported}, // 8 bits in two planes: no layout to fill
        {65, 4, ImageUnsupported},
        {67, 0x80, ImageUnsupported}, // 32768 bytes per line: more than the field holds
    };
    for (const Case& c : cases) {
        HeldImage im(pcx(2, 1, 1, 2, {1, 2}).put8(c.at, c.value));
        EXPECT_EQ(readPcx(im.image), c.status) << c.at << " = " << c.value;
        EXPECT_EQ(im->pixels, nullptr);
    }
    HeldImage inverted(pcx(2, 1, 1, 2, {1, 2}).put16(4, 5).put16(8, 2)); // x max below x min
    EXPECT_EQ(readPcx(inverted.image), ImageBadFile);
    HeldImage tooWide(pcx(2, 1, 1, 2, {1, 2}).put16(8, 40000)); // 40001 wraps below 1
    EXPECT_EQ(readPcx(tooWide.image), ImageBadFile);
    HeldImage headerCut(Bytes(pcx(1, 1, 1, 2, {}, false)).cut(1));
    EXPECT_EQ(readPcx(headerCut.image), ImageBadFile);
    HeldImage noFile;
    EXPECT_EQ(readPcx(noFile.image), ImageNoData);
}

TEST(PcxReader, ScanLinesCutShortAreRefused) {
    HeldImage im(pcx(4, 2, 1, 4, {1, 2, 3, 4, 0xC3}, false));
    EXPECT_EQ(readPcx(im.image), ImageBadFile);
    EXPECT_EQ(im->pixels, nullptr);
}

TEST(PcxReader, MissingTableMarker) {
    HeldImage im(pcx(2, 1, 1, 2, {1, 2}));
    im->fileData[im->fileSize - 769] = 13;
    EXPECT_EQ(readPcx(im.image), ImageBadFile);
    EXPECT_EQ(im.pixels(2), (ByteList{1, 2}));
    EXPECT_EQ(im->bitsPerPixel, 8);

    // Shorter than a table: the marker would lie before the file.
    HeldImage tiny(pcx(2, 1, 1, 2, {1, 2}, false));
    EXPECT_EQ(readPcx(tiny.image), ImageBadFile);
}

} // namespace
