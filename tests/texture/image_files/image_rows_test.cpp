// The one-pass row copy against the plain definitions (copy, then flip the rows, then exchange
// the first and third byte of each pixel), for every pixel size and for counts around the
// word-at-a-time blocks, and then through the readers on pictures wide enough to use them.
#include <gtest/gtest.h>

#include <random>

#include "tests/texture/image_files/image_bytes.h"
#include "texture/image_rows.h"

namespace {

ByteList randomBytes(std::mt19937& rng, size_t count) {
    ByteList bytes(count);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(rng());
    return bytes;
}

ByteList exchangedByteByByte(ByteList bytes, int pixelSize) {
    if (pixelSize >= 3) {
        for (size_t i = 0; i + pixelSize <= bytes.size(); i += pixelSize)
            std::swap(bytes[i], bytes[i + 2]);
    }
    return bytes;
}

TEST(ImageRows, CopyPixelsExchangesLikeTheBytewiseDefinition) {
    std::mt19937 rng(7);
    for (int size = 1; size <= 6; ++size) {
        for (size_t count = 0; count <= 40; ++count) {
            SCOPED_TRACE(testing::Message() << size << " bytes x " << count);
            const ByteList in = randomBytes(rng, count * size);
            const ByteList exchanged = exchangedByteByByte(in, size);
            ByteList out(in.size() + 1, 0xAB);
            copyPixels(out.data(), in.data(), count, size, true);
            EXPECT_EQ(ByteList(out.begin(), out.end() - 1), exchanged);
            EXPECT_EQ(out.back(), 0xAB); // nothing written past the pixels

            copyPixels(out.data(), in.data(), count, size, false);
            EXPECT_EQ(ByteList(out.begin(), out.end() - 1), in);

            ByteList inPlace = in;
            copyPixels(inPlace.data(), inPlace.data(), count, size, true);
            EXPECT_EQ(inPlace, exchanged);
        }
    }
}

TEST(ImageRows, FillPixelsRepeatsOnePixel) {
    for (int size = 1; size <= 6; ++size) {
        const ByteList pixel = {9, 8, 7, 6, 5, 4};
        for (size_t count = 0; count <= 13; ++count) {
            ByteList out(count * size + 1, 0xAB);
            fillPixels(out.data(), pixel.data(), count, size);
            for (size_t i = 0; i < count * size; ++i)
                ASSERT_EQ(out[i], pixel[i % size]) << size << " x " << count << " at " << i;
            EXPECT_EQ(out.back(), 0xAB);
        }
    }
}

TEST(ImageRows, RowPiecesDropThePadAndLandBottomRowFirst) {
    // Three stored rows of 3 bytes, each padded to 4; 10 bytes from position 1 on.
    uint8_t pixels[9] = {};
    const RowTarget target{pixels, 3, 3, true};
    std::vector<std::pair<ptrdiff_t, size_t>> pieces;
    forEachRowPiece(target, 4, 1, 10, [&](uint8_t* to, size_t offset, size_t n) {
        pieces.push_back({to - pixels, n});
        for (size_t k = 0; k < n; ++k)
            to[k] = static_cast<uint8_t>(offset + k + 1);
    });
    // Stored row 0 lands last; position 3 and 7 are pad.
    EXPECT_EQ(pieces, (std::vector<std::pair<ptrdiff_t, size_t>>{{7, 2}, {3, 3}, {0, 3}}));
    EXPECT_EQ(ByteList(pixels, pixels + 9), (ByteList{8, 9, 10, 4, 5, 6, 0, 1, 2}));
}

// A picture as runs of equal pixels, in file order, so that run-length packets of every kind
// occur and run across row ends.
ByteList picture(std::mt19937& rng, size_t pixels, int pixelSize) {
    ByteList out;
    while (out.size() < pixels * pixelSize) {
        const ByteList pixel = randomBytes(rng, pixelSize);
        const size_t run = rng() % 3 == 0 ? 1 + rng() % 40 : 1;
        for (size_t i = 0; i < run && out.size() < pixels * pixelSize; ++i)
            out.insert(out.end(), pixel.begin(), pixel.end());
    }
    return out;
}

// The stored rows top row first, each pixel's first and third byte exchanged.
ByteList expectedTopFirst(const ByteList& stored, int width, int height, int pixelSize,
                          bool bottomUp) {
    const size_t row = size_t(width) * pixelSize;
    ByteList out;
    for (int y = 0; y < height; ++y) {
        const size_t from = (bottomUp ? height - 1 - y : y) * row;
        out.insert(out.end(), stored.begin() + from, stored.begin() + from + row);
    }
    return exchangedByteByByte(out, pixelSize);
}

ByteList tgaRunLength(const ByteList& stored, int pixelSize) {
    ByteList out;
    const size_t count = stored.size() / pixelSize;
    auto same = [&](size_t a, size_t b) {
        return std::equal(stored.begin() + a * pixelSize, stored.begin() + (a + 1) * pixelSize,
                          stored.begin() + b * pixelSize);
    };
    for (size_t i = 0; i < count;) {
        size_t j = i + 1;
        while (j < count && j - i < 128 && same(i, j))
            ++j;
        if (j - i == 1) {
            while (j < count && j - i < 128 && !(j + 1 < count && same(j, j + 1)))
                ++j;
            out.push_back(static_cast<uint8_t>(j - i - 1));
            out.insert(out.end(), stored.begin() + i * pixelSize, stored.begin() + j * pixelSize);
        } else {
            out.push_back(static_cast<uint8_t>(0x80 | (j - i - 1)));
            out.insert(out.end(), stored.begin() + i * pixelSize,
                       stored.begin() + (i + 1) * pixelSize);
        }
        i = j;
    }
    return out;
}

Bytes trueColourTga(int type, int width, int height, int bits, unsigned descriptor,
                    const ByteList& data) {
    Bytes b;
    b.raw({0, 0, unsigned(type)}).fill(9, 0).u16(unsigned(width)).u16(unsigned(height));
    return b.raw({unsigned(bits), descriptor}).append(data);
}

TEST(ImageRows, TgaTrueColourInBothRowOrdersAndEncodings) {
    std::mt19937 rng(11);
    for (int bits : {24, 32}) {
        const int size = bits / 8;
        for (int width : {1, 3, 7, 8, 9, 17, 40}) {
            for (int height : {1, 2, 5}) {
                const ByteList stored = picture(rng, size_t(width) * height, size);
                for (bool bottomUp : {true, false}) {
                    const unsigned descriptor = (bits == 32 ? 8 : 0) | (bottomUp ? 0 : 0x20);
                    if (descriptor > 32)
                        continue; // refused: top row first with alpha bits
                    const ByteList want = expectedTopFirst(stored, width, height, size, bottomUp);
                    for (int type : {2, 10}) {
                        SCOPED_TRACE(testing::Message()
                                     << "type " << type << ", " << bits << " bits, " << width
                                     << " x " << height << (bottomUp ? " bottom up" : ""));
                        const ByteList data = type == 2 ? stored : tgaRunLength(stored, size);
                        HeldImage im(trueColourTga(type, width, height, bits, descriptor, data));
                        ASSERT_EQ(readTga(im.image), ImageOk);
                        EXPECT_EQ(im.pixels(want.size()), want);
                    }
                }
            }
        }
    }
}

Bytes uncompressedBmp(int width, int height, int bits, const ByteList& rows) {
    Bytes b;
    b.raw({'B', 'M'}).u32(0).u32(0).u32(54).u32(40).u32(unsigned(width)).u32(unsigned(height));
    return b.u16(1).u16(unsigned(bits)).fill(24, 0).append(rows);
}

TEST(ImageRows, BmpTrueColourRowsWithTheirPad) {
    std::mt19937 rng(13);
    for (int bits : {24, 32}) {
        const int size = bits / 8;
        for (int width : {1, 2, 5, 8, 9, 21}) {
            const int height = 3;
            const ByteList stored = picture(rng, size_t(width) * height, size);
            const size_t row = size_t(width) * size;
            ByteList padded;
            for (int y = 0; y < height; ++y) {
                padded.insert(padded.end(), stored.begin() + y * row,
                              stored.begin() + (y + 1) * row);
                padded.resize((padded.size() + 3) & ~size_t{3}, 0xEE);
            }
            HeldImage im(uncompressedBmp(width, height, bits, padded));
            ASSERT_EQ(readBmp(im.image), ImageOk) << bits << " bits, width " << width;
            EXPECT_EQ(im.pixels(stored.size()), expectedTopFirst(stored, width, height, size, true))
                << bits << " bits, width " << width;
        }
    }
}

Bytes threePlanePcx(int width, int height, const ByteList& encoded) {
    Bytes b;
    b.raw({10, 5, 1, 8}).u16(0).u16(0).u16(unsigned(width - 1)).u16(unsigned(height - 1));
    return b.padTo(65).u8(3).u16(unsigned(width)).padTo(128).append(encoded);
}

// Plane lines with long literal stretches (0xC0 among them, a literal) and runs, or only runs
// (two file bytes for each byte, the most a line can take); the last line of a file without a
// colour table is read with every byte checked, and refused when cut.
TEST(ImageRows, PcxLiteralStretchesRunsAndTheLastLine) {
    std::mt19937 rng(17);
    for (bool onlyRuns : {false, true}) {
        for (int width : {1, 8, 9, 16, 31, 64}) {
            SCOPED_TRACE(testing::Message()
                         << "width " << width << (onlyRuns ? ", only runs" : ""));
            const int height = 3;
            ByteList planes; // line by line: red, green, blue
            ByteList encoded;
            for (size_t i = 0; i < size_t(width) * height * 3; ++i) {
                uint8_t b = static_cast<uint8_t>(rng() % 0xC1); // 0 to 0xC0: literals
                if (onlyRuns || rng() % 5 == 0)
                    b = static_cast<uint8_t>(0xC1 + rng() % 0x3F); // needs a run code
                planes.push_back(b);
                if (b > 0xC0)
                    encoded.push_back(0xC1);
                encoded.push_back(b);
            }
            ByteList want;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    for (int p = 0; p < 3; ++p)
                        want.push_back(planes[(size_t(y) * 3 + p) * width + x]);
                }
            }
            HeldImage im(threePlanePcx(width, height, encoded));
            ASSERT_EQ(readPcx(im.image), ImageOk);
            EXPECT_EQ(im.pixels(want.size()), want);

            HeldImage cut(threePlanePcx(width, height, encoded).cut(1));
            EXPECT_EQ(readPcx(cut.image), ImageBadFile);
            EXPECT_EQ(cut->pixels, nullptr);
        }
    }
}

} // namespace
