#include <gtest/gtest.h>

#include "tests/texture/image_files/image_bytes.h"

namespace {

Bytes qfr(int width, int height, int bits, size_t pixelBytes) {
    return Bytes()
        .u16(unsigned(width) & 0xFFFF)
        .u16(unsigned(height) & 0xFFFF)
        .u8(unsigned(bits) & 0xFF)
        .fill(pixelBytes, 0x5A);
}

TEST(QfrReader, LengthMustBeHeaderPlusPixels) {
    HeldImage exact(qfr(2, 2, 24, 12));
    ASSERT_EQ(readQfr(exact.image), ImageOk);
    EXPECT_EQ(exact->pixelDataSize, 12u);
    EXPECT_EQ(exact.pixels(12), ByteList(12, 0x5A));
    EXPECT_EQ(exact->palette, nullptr);

    for (size_t bytes : {11u, 13u}) {
        HeldImage im(qfr(2, 2, 24, bytes));
        EXPECT_EQ(readQfr(im.image), ImageBadFile) << bytes;
        EXPECT_EQ(im->width, 2);
        EXPECT_EQ(im->pixelDataSize, 12u);
        EXPECT_EQ(im->pixels, nullptr);
    }
    HeldImage rgba(qfr(2, 2, 32, 16));
    EXPECT_EQ(readQfr(rgba.image), ImageOk);
    HeldImage indices(qfr(3, 1, 8, 3));
    EXPECT_EQ(readQfr(indices.image), ImageOk);
    EXPECT_EQ(indices->palette, nullptr);
}

TEST(QfrReader, EmptyPictureAndShortHeader) {
    HeldImage empty(qfr(0, 5, 24, 0));
    ASSERT_EQ(readQfr(empty.image), ImageOk);
    EXPECT_NE(empty->pixels, nullptr);
    HeldImage shortHeader(qfr(1, 1, 8, 0).cut(1));
    EXPECT_EQ(readQfr(shortHeader.image), ImageBadFile);
    HeldImage noFile;
    EXPECT_EQ(readQfr(noFile.image), ImageNoData);
}

TEST(QfrReader, RefusesSizesThatOnlyAddUp) {
    HeldImage negative(qfr(-2, -2, 24, 12)); // -2 x -2 x 3 = 12, the length the file has
    EXPECT_EQ(readQfr(negative.image), ImageBadFile);
    EXPECT_EQ(negative->pixels, nullptr);
    HeldImage negativeDepth(qfr(-1, 2, -24, 6));
    EXPECT_EQ(readQfr(negativeDepth.image), ImageBadFile);
    // Any one negative field is the file's fault; zero ones make an empty picture.
    const struct {
        int width, height, bits;
        ImageStatus status;
    } edges[] = {{-1, 1, 24, ImageBadFile},
                 {1, -1, 24, ImageBadFile},
                 {1, 2, -1, ImageBadFile},
                 {2, 0, 24, ImageOk},
                 {2, 2, 0, ImageOk}};
    for (const auto& edge : edges) {
        HeldImage im(qfr(edge.width, edge.height, edge.bits, 0));
        EXPECT_EQ(readQfr(im.image), edge.status)
            << edge.width << " x " << edge.height << " x " << edge.bits;
    }
    HeldImage huge(qfr(32767, 32767, 32, 0));
    EXPECT_EQ(readQfr(huge.image), ImageUnsupported);
}

} // namespace
