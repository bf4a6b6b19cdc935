#include <gtest/gtest.h>

#include "tests/texture/image_files/image_bytes.h"

namespace {

// An 18-byte TGA header, an identification field, an optional 256-entry colour map whose entry
// i is stored blue i, green 2i, red 3i, then the pixel data.
Bytes tga(int type, int width, int height, int bits, unsigned descriptor, const ByteList& pixels,
          bool colourMap = false, int idLength = 0) {
    Bytes b;
    b.raw({unsigned(idLength), colourMap ? 1u : 0u, unsigned(type)});
    b.u16(0).u16(colourMap ? 256 : 0).u8(colourMap ? 24 : 0);
    b.u16(0).u16(0).u16(unsigned(width)).u16(unsigned(height)).raw({unsigned(bits), descriptor});
    b.fill(size_t(idLength), 0x49);
    if (colourMap) {
        for (unsigned i = 0; i < 256; ++i)
            b.raw({i, (2 * i) & 0xFF, (3 * i) & 0xFF});
    }
    return b.append(pixels);
}

TEST(TgaReader, TrueColourBottomRowFirstBecomesTopRowFirstRgb) {
    const ByteList stored = {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255};
    HeldImage im(tga(2, 2, 2, 24, 0, stored));
    ASSERT_EQ(readTga(im.image), ImageOk);
    EXPECT_EQ(im.pixels(12), (ByteList{255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255}));

    HeldImage topFirst(tga(2, 2, 2, 24, 0x20, stored));
    ASSERT_EQ(readTga(topFirst.image), ImageOk);
    EXPECT_EQ(topFirst.pixels(12), (ByteList{0, 0, 255, 0, 0, 255, 255, 0, 0, 255, 0, 0}));
}

TEST(TgaReader, ThirtyTwoBitKeepsAlphaAndRefusesTopFirstWithAlphaBits) {
    HeldImage im(tga(2, 1, 1, 32, 0x08, {1, 2, 3, 4}, false, 3));
    ASSERT_EQ(readTga(im.image), ImageOk);
    EXPECT_EQ(im.pixels(4), (ByteList{3, 2, 1, 4}));
    HeldImage refused(tga(2, 1, 1, 32, 0x28, {1, 2, 3, 4}));
    EXPECT_EQ(readTga(refused.image), ImageUnsupported);
    EXPECT_EQ(refused->bitsPerPixel, 32);
}

TEST(TgaReader, OriginDoesNotChangeTheSize) {
    HeldImage im(tga(2, 1, 1, 24, 0, {1, 2, 3}).put16(8, 100).put16(10, 7));
    ASSERT_EQ(readTga(im.image), ImageOk);
    EXPECT_EQ(im->width, 1);
    EXPECT_EQ(im->height, 1);
}

TEST(TgaReader, SmallTrueColourPixelsStayAsStored) {
    HeldImage im(tga(2, 2, 1, 16, 0, {1, 2, 3, 4}));
    ASSERT_EQ(readTga(im.image), ImageOk);
    EXPECT_EQ(im.pixels(4), (ByteList{1, 2, 3, 4}));
}

TEST(TgaReader, RunLengthPackets) {
    // 0x82: three copies of one pixel; 0x01: two raw pixels. Packets run across rows.
    HeldImage im(tga(10, 5, 1, 24, 0x20, {0x82, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}));
    ASSERT_EQ(readTga(im.image), ImageOk);
    EXPECT_EQ(im.pixels(15), (ByteList{3, 2, 1, 3, 2, 1, 3, 2, 1, 6, 5, 4, 9, 8, 7}));

    HeldImage crossing(tga(10, 2, 2, 24, 0, {0x82, 1, 2, 3, 0x00, 4, 5, 6}));
    ASSERT_EQ(readTga(crossing.image), ImageOk);
    EXPECT_EQ(crossing.pixels(12), (ByteList{3, 2, 1, 6, 5, 4, 3, 2, 1, 3, 2, 1}));
}

TEST(TgaReader, PacketsPastTheBufferAreCutAndShortDataRefused) {
    HeldImage cut(tga(10, 2, 1, 24, 0, {0xFF, 1, 2, 3}));
    ASSERT_EQ(readTga(cut.image), ImageOk);
    EXPECT_EQ(cut.pixels(6), (ByteList{3, 2, 1, 3, 2, 1}));
    HeldImage rawCut(tga(10, 1, 1, 24, 0, {0x7F, 1, 2, 3}));
    EXPECT_EQ(readTga(rawCut.image), ImageOk);

    for (const ByteList& data : {ByteList{}, ByteList{0x81, 1, 2}, ByteList{0x01, 1, 2, 3, 4}}) {
        HeldImage im(tga(10, 2, 1, 24, 0, data));
        EXPECT_EQ(readTga(im.image), ImageBadFile) << data.size();
        EXPECT_EQ(im->pixels, nullptr);
    }
}

TEST(TgaReader, ColourMappedGivesIndicesAndAnRgbTable) {
    HeldImage im(tga(1, 2, 1, 8, 0x20, {7, 255}, true, 2));
    ASSERT_EQ(readTga(im.image), ImageOk);
    EXPECT_EQ(im.pixels(2), (ByteList{7, 255}));
    EXPECT_EQ(im.paletteEntry(7), (ByteList{21, 14, 7}));
    EXPECT_EQ(im.paletteEntry(255), (ByteList{(3 * 255) & 0xFF, (2 * 255) & 0xFF, 255}));

    HeldImage rle(tga(9, 3, 1, 8, 0x20, {0x82, 5}, true));
    ASSERT_EQ(readTga(rle.image), ImageOk);
    EXPECT_EQ(rle.pixels(3), (ByteList{5, 5, 5}));
    EXPECT_EQ(rle.paletteEntry(5), (ByteList{15, 10, 5}));
}

TEST(TgaReader, RefusesWhatItDoesNotDecode) {
    struct Case {
        Bytes file;
        ImageStatus status;
        const char* what;
    };
    const Case cases[] = {
        {tga(2, 2, 1, 24, 0, ByteList(5)), ImageBadFile, "one byte short"},
        {tga(2, 1, 1, 24, 0, ByteList(3), true), ImageBadFile, "type 2 with a map"},
        {tga(10, 1, 1, 24, 0, {0, 1, 2, 3}, true), ImageBadFile, "type 10 with a map"},
        {tga(1, 1, 1, 8, 0, ByteList(769)), ImageBadFile, "type 1 without a map, room for one"},
        {tga(9, 1, 1, 8, 0, {0, 0}), ImageBadFile, "type 9 without a map"},
        {tga(1, 1, 1, 8, 0, {0}, true).put16(5, 16), ImageUnsupported, "16-entry map"},
        {tga(1, 1, 1, 8, 0, {0}, true).put8(7, 32), ImageUnsupported, "32-bit map entries"},
        {tga(1, 1, 1, 8, 0, {0}, true).put16(3, 1), ImageUnsupported, "map from entry 1"},
        {tga(2, 1, 1, 24, 0, ByteList(3)).put8(1, 2), ImageUnsupported, "map type 2"},
        {tga(3, 1, 1, 8, 0, {0}), ImageUnsupported, "black and white"},
        {tga(11, 1, 1, 8, 0, {0, 0}), ImageUnsupported, "run-length black and white"},
        {tga(12, 1, 1, 8, 0, {0}), ImageUnsupported, "type above 11"},
        {tga(2, 1, 1, 24, 0x40, ByteList(3)), ImageUnsupported, "interleaved"},
        {tga(2, 0, 1, 24, 0, {}), ImageBadFile, "width 0"},
        {tga(2, 1, 0x8000, 24, 0, {}), ImageBadFile, "height above the field"},
        {tga(2, 1, 1, 136, 0, ByteList(17)), ImageUnsupported, "depth above the field"},
        {tga(10, 32767, 32767, 32, 0, {}), ImageUnsupported, "more than a 32-bit size"},
        {tga(2, 1, 1, 24, 0, {}).cut(1), ImageBadFile, "header cut"},
    };
    for (const Case& c : cases) {
        HeldImage im(c.file);
        EXPECT_EQ(readTga(im.image), c.status) << c.what;
        EXPECT_EQ(im->pixels, nullptr) << c.what;
    }
    HeldImage noFile;
    EXPECT_EQ(readTga(noFile.image), ImageNoData);
}

TEST(TgaReader, ColourMapCutShortIsRefused) {
    // No pixel bytes to decode (depth below 8), so only the map is read.
    HeldImage im(tga(9, 1, 1, 4, 0, {}, true).cut(1));
    EXPECT_EQ(readTga(im.image), ImageBadFile);
    EXPECT_EQ(im->palette, nullptr);
}

} // namespace
