#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/texture/image_files/image_bytes.h"

namespace {

namespace fs = std::filesystem;

// A 1 x 1 file every reader accepts, whatever its extension: a QFR header can't be a BMP,
// so each test writes the bytes its extension needs.
Bytes qfrFile() {
    return Bytes().u16(1).u16(1).u8(24).raw({1, 2, 3});
}
Bytes tgaFile() {
    return Bytes().raw({0, 0, 2}).fill(9, 0).u16(1).u16(1).raw({24, 0, 3, 2, 1});
}
Bytes bmpFile() {
    return Bytes()
        .raw({'B', 'M'})
        .fill(8, 0)
        .u32(54)
        .u32(40)
        .u32(1)
        .u32(1)
        .u16(1)
        .u16(24)
        .fill(24, 0)
        .raw({3, 2, 1, 0});
}
Bytes pcxFile() {
    Bytes b;
    b.raw({10, 5, 1, 8}).u16(0).u16(0).u16(0).u16(0).padTo(65).u8(1).u16(2).padTo(128);
    return b.raw({0x33, 0}).u8(12).fill(768, 0x44);
}

class ImageLoader : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("qf_loader_" + std::to_string(getpid()));
    HeldImage im;

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const Bytes& file) {
        const fs::path path = dir / name;
        const std::string extension = path.extension().string();
        saveAsSeed(file, extension.empty() ? "" : extension.substr(1));
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data.data()),
                   std::streamsize(file.data.size()));
        return path.string();
    }
};

TEST_F(ImageLoader, DispatchesByTheLastExtensionIgnoringCase) {
    EXPECT_EQ(load(im.image, write("WALL.TGA", tgaFile()).c_str()), ImageOk);
    EXPECT_EQ(load(im.image, write("wall.TgA", tgaFile()).c_str()), ImageOk);
    EXPECT_EQ(load(im.image, write("a.b.bmp", bmpFile()).c_str()), ImageOk);
    EXPECT_EQ(im.pixels(3), (ByteList{1, 2, 3}));
    EXPECT_EQ(load(im.image, write("x.Pcx", pcxFile()).c_str()), ImageOk);
    EXPECT_EQ(load(im.image, write("x.qfr", qfrFile()).c_str()), ImageOk);
    // The reader is chosen by name only: a TGA named .qfr is read as QFR and refused.
    EXPECT_EQ(load(im.image, write("tga.qfr", tgaFile()).c_str()), ImageBadFile);
}

TEST_F(ImageLoader, RefusesOtherExtensionsAndKeepsTheFile) {
    for (const char* name : {"wall.bmp.txt", "wall.bmpx", "wall.bm", "wall", "dir.bmp/wall"}) {
        im->width = 7;
        EXPECT_EQ(load(im.image, write(name, bmpFile()).c_str()), ImageUnsupported) << name;
        EXPECT_NE(im->fileData, nullptr) << name;
        EXPECT_EQ(im->fileSize, bmpFile().data.size());
        EXPECT_EQ(im->width, 7) << name;
    }
}

TEST_F(ImageLoader, SearchesTheFirstCharacterForTheDot) {
    write(".pcx", pcxFile());
    const fs::path before = fs::current_path();
    fs::current_path(dir);
    EXPECT_EQ(load(im.image, ".pcx"), ImageOk);
    fs::current_path(before);
    EXPECT_EQ(im->bitsPerPixel, 8);
}

TEST_F(ImageLoader, KeepsTheFileAfterEveryReaderButTga) {
    ASSERT_EQ(load(im.image, write("a.bmp", bmpFile()).c_str()), ImageOk);
    EXPECT_NE(im->fileData, nullptr);
    ASSERT_EQ(load(im.image, write("a.pcx", pcxFile()).c_str()), ImageOk);
    EXPECT_NE(im->fileData, nullptr);
    ASSERT_EQ(load(im.image, write("a.qfr", qfrFile()).c_str()), ImageOk);
    EXPECT_NE(im->fileData, nullptr);
    EXPECT_EQ(im->fileSize, 8u);

    ASSERT_EQ(load(im.image, write("a.tga", tgaFile()).c_str()), ImageOk);
    EXPECT_EQ(im->fileData, nullptr);
    EXPECT_NE(im->pixels, nullptr);
    EXPECT_EQ(load(im.image, write("bad.tga", tgaFile().cut(1)).c_str()), ImageBadFile);
    EXPECT_EQ(im->fileData, nullptr);
}

TEST_F(ImageLoader, FileThatCannotBeReadLeavesNoBuffersAndKeepsTheSize) {
    ASSERT_EQ(load(im.image,
                   write("big.qfr", Bytes().u16(64).u16(64).u8(24).fill(64 * 64 * 3, 9)).c_str()),
              ImageOk);
    EXPECT_EQ(load(im.image, (dir / "missing.bmp").c_str()), ImageNoData);
    EXPECT_EQ(im->pixels, nullptr);
    EXPECT_EQ(im->palette, nullptr);
    EXPECT_EQ(im->fileData, nullptr);
    EXPECT_EQ(im->width, 64);
    EXPECT_EQ(im->height, 64);

    fs::create_directories(dir / "folder.bmp");
    EXPECT_EQ(load(im.image, (dir / "folder.bmp").c_str()), ImageNoData);
    EXPECT_EQ(im->fileData, nullptr);
}

TEST_F(ImageLoader, EmptyFileIsTooShortForEveryReader) {
    for (const char* name : {"e.bmp", "e.pcx", "e.tga", "e.qfr"}) {
        EXPECT_EQ(load(im.image, write(name, Bytes()).c_str()), ImageBadFile) << name;
    }
}

TEST(EqualsIgnoreCase, FoldsCodesAbove96Only) {
    EXPECT_TRUE(equalsIgnoreCase(".bmp", ".BMP"));
    EXPECT_TRUE(equalsIgnoreCase(".TgA", ".tga"));
    EXPECT_TRUE(equalsIgnoreCase("{|}~", "[\\]^"));
    EXPECT_TRUE(equalsIgnoreCase("", ""));
    EXPECT_FALSE(equalsIgnoreCase(".bmp", ".bmpx"));
    EXPECT_FALSE(equalsIgnoreCase(".bm", ".bmp"));
    EXPECT_FALSE(equalsIgnoreCase("@", "`"));       // 96 is not folded
    EXPECT_FALSE(equalsIgnoreCase("\xE9", "\xC9")); // nor codes of 128 and above
}

TEST(PixelTransforms, FlipRowsExchangesOuterRowsOnly) {
    uint8_t pixels[] = {1, 1, 2, 2, 3, 3};
    Image im{};
    im.width = 2;
    im.height = 3;
    im.bitsPerPixel = 8;
    im.pixels = pixels;
    flipRows(im);
    EXPECT_EQ(ByteList(pixels, pixels + 6), (ByteList{3, 3, 2, 2, 1, 1}));
    im.height = 1;
    flipRows(im);
    EXPECT_EQ(ByteList(pixels, pixels + 6), (ByteList{3, 3, 2, 2, 1, 1}));
}

TEST(PixelTransforms, SwapRedBlueLeavesFourthBytesAndSmallPixels) {
    uint8_t pixels[] = {1, 2, 3, 4, 5, 6, 7, 8};
    Image im{};
    im.width = 2;
    im.height = 1;
    im.bitsPerPixel = 32;
    im.pixels = pixels;
    swapRedBlue(im);
    EXPECT_EQ(ByteList(pixels, pixels + 8), (ByteList{3, 2, 1, 4, 7, 6, 5, 8}));
    im.bitsPerPixel = 16; // a third byte would belong to the next pixel
    swapRedBlue(im);
    EXPECT_EQ(ByteList(pixels, pixels + 8), (ByteList{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST(ImageRecord, ResetEmptiesWhateverWasLoaded) {
    Image empty{};
    reset(empty);
    EXPECT_EQ(empty.pixels, nullptr);
    EXPECT_EQ(empty.width, 0);

    HeldImage im(Bytes().u16(2).u16(1).u8(24).fill(6, 5));
    ASSERT_EQ(readQfr(im.image), ImageOk);
    im->palette = allocBuffer(768);
    freeBuffer(im->pixels); // a picture large enough for a mapping of its own goes the same way
    im->pixels = allocBuffer(size_t{8} << 20);
    ASSERT_NE(im->pixels, nullptr);
    im->pixels[(size_t{8} << 20) - 1] = 1;
    reset(im.image);
    EXPECT_EQ(im->width, 0);
    EXPECT_EQ(im->height, 0);
    EXPECT_EQ(im->bitsPerPixel, 0);
    EXPECT_EQ(im->variant, 0);
    EXPECT_EQ(im->fileSize, 0u);
    EXPECT_EQ(im->pixelDataSize, 0u);
    EXPECT_EQ(im->pixels, nullptr);
    EXPECT_EQ(im->palette, nullptr);
    EXPECT_EQ(im->fileData, nullptr);
}

TEST(ImageRecord, StatusNames) {
    EXPECT_STREQ(imageStatusName(ImageOk), "ImageOk");
    EXPECT_STREQ(imageStatusName(ImageNoData), "ImageNoData");
    EXPECT_STREQ(imageStatusName(ImageOutOfMemory), "ImageOutOfMemory");
    EXPECT_STREQ(imageStatusName(ImageBadFile), "ImageBadFile");
    EXPECT_STREQ(imageStatusName(ImageUnsupported), "ImageUnsupported");
    EXPECT_STREQ(imageStatusName(ImageStatus(3)), "ImageUnknown");
}

} // namespace
