// Every allocation a load makes, made to fail in turn: the load reports ImageOutOfMemory,
// the Image holds what the reader's failure rules promise, and no buffer is left behind.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/texture/image_files/image_bytes.h"
#include "texture/image_reader.h"

namespace {

namespace fs = std::filesystem;

// What the Nth allocation of a load is for, in the order the load makes them.
enum Allocation { FileData, ScratchLine, Pixels, Palette };

struct Case {
    const char* name; // file name; its extension picks the reader
    Bytes file;
    std::vector<Allocation> allocations;
    // After a palette failure: the pixels as decoded up to that point.
    ByteList pixelsBeforePalette = {};
};

Bytes bmp(int width, int height, int bits, unsigned compression, const ByteList& data) {
    Bytes b;
    const unsigned offset = bits == 8 ? 54 + 1024 : 54;
    b.raw({'B', 'M'}).u32(0).u32(0).u32(offset).u32(40).u32(unsigned(width)).u32(unsigned(height));
    b.u16(1).u16(unsigned(bits)).u32(compression).fill(20, 0);
    if (bits == 8) {
        for (unsigned i = 0; i < 256; ++i)
            b.raw({i, i, i, 0});
    }
    return b.append(data);
}

Bytes pcx(int width, int height, int planes, int bytesPerLine, const ByteList& encoded) {
    Bytes b;
    b.raw({10, 5, 1, 8}).u16(0).u16(0).u16(unsigned(width - 1)).u16(unsigned(height - 1));
    b.padTo(65).u8(unsigned(planes)).u16(unsigned(bytesPerLine)).padTo(128).append(encoded);
    if (planes == 1)
        b.u8(12).fill(768, 0x21);
    return b;
}

Bytes tga(int type, int width, int height, int bits, const ByteList& data) {
    const bool mapped = type == 1 || type == 9;
    Bytes b;
    b.raw({0, mapped ? 1u : 0u, unsigned(type)}).u16(0).u16(mapped ? 256 : 0).u8(mapped ? 24 : 0);
    b.u16(0).u16(0).u16(unsigned(width)).u16(unsigned(height)).raw({unsigned(bits), 0});
    if (mapped)
        b.fill(768, 0x42);
    return b.append(data);
}

std::vector<Case> cases() {
    return {
        {"rgb.bmp", bmp(2, 2, 24, 0, ByteList(16, 0x11)), {FileData, Pixels}},
        {"rgba.bmp", bmp(1, 2, 32, 0, ByteList(8, 0x12)), {FileData, Pixels}},
        // Stored bottom row first: decoded and flipped before the table is read.
        {"index.bmp",
         bmp(4, 2, 8, 0, {1, 2, 3, 4, 5, 6, 7, 8}),
         {FileData, Pixels, Palette},
         {5, 6, 7, 8, 1, 2, 3, 4}},
        {"rle8.bmp",
         bmp(4, 2, 8, 1, {4, 9, 0, 0, 4, 7, 0, 1}),
         {FileData, Pixels, Palette},
         {7, 7, 7, 7, 9, 9, 9, 9}},
        {"index.pcx",
         pcx(2, 2, 1, 2, {1, 2, 0xC2, 200}),
         {FileData, ScratchLine, Pixels, Palette},
         {1, 2, 200, 200}},
        {"rgb.pcx", pcx(2, 1, 3, 2, {1, 2, 3, 4, 5, 6}), {FileData, ScratchLine, Pixels}},
        // Bottom row first: the palette is read before the rows are flipped.
        {"index.tga", tga(1, 2, 2, 8, {1, 2, 3, 4}), {FileData, Pixels, Palette}, {1, 2, 3, 4}},
        {"index_rle.tga",
         tga(9, 2, 2, 8, {0x81, 5, 0x01, 6, 7}),
         {FileData, Pixels, Palette},
         {5, 5, 6, 7}},
        {"rgb.tga", tga(2, 1, 2, 24, ByteList(6, 0x13)), {FileData, Pixels}},
        {"rgba_rle.tga", tga(10, 2, 1, 32, {0x81, 1, 2, 3, 4}), {FileData, Pixels}},
        {"rgb.qfr", Bytes().u16(2).u16(1).u8(24).fill(6, 0x14), {FileData, Pixels}},
    };
}

const char* allocationName(Allocation a) {
    switch (a) {
    case FileData: return "file data";
    case ScratchLine: return "scratch line";
    case Pixels: return "pixels";
    case Palette: return "palette";
    }
    return "?";
}

class AllocationFailure : public ::testing::Test {
  protected:
    fs::path dir = fs::temp_directory_path() / ("qf_alloc_" + std::to_string(getpid()));
    long liveAtStart = liveBufferCount();

    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override {
        setAllocationFailureCountdown(-1);
        fs::remove_all(dir);
    }

    std::string write(const char* name, const Bytes& file) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data.data()),
                   std::streamsize(file.data.size()));
        return path.string();
    }
};

// The Image a load starts from: a 3 x 1 picture with all its buffers, so each failing load
// must also release what was there.
void loadPrevious(Image& image, const std::string& qfrPath) {
    ASSERT_EQ(load(image, qfrPath.c_str()), ImageOk);
    image.palette = allocBuffer(768);
}

TEST_F(AllocationFailure, EveryAllocationOfEveryReaderFailsCleanly) {
    const std::string previous = write("previous.qfr", Bytes().u16(3).u16(1).u8(8).raw({1, 2, 3}));
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        const std::string path = write(c.name, c.file);
        const bool tga = fs::path(c.name).extension() == ".tga";

        HeldImage good;
        ASSERT_EQ(load(good.image, path.c_str()), ImageOk);
        const size_t pictureBytes = size_t(good->width) * good->height * (good->bitsPerPixel / 8);
        const long liveBefore = liveBufferCount();

        for (size_t n = 0;; ++n) {
            HeldImage im;
            loadPrevious(im.image, previous);
            setAllocationFailureCountdown(long(n));
            const ImageStatus status = load(im.image, path.c_str());
            const bool failed = allocationFailureHappened();
            setAllocationFailureCountdown(-1);

            if (!failed) {
                // Past the last allocation: the load is whole again.
                EXPECT_EQ(status, ImageOk);
                EXPECT_EQ(n, c.allocations.size()) << "allocations made by the load";
                EXPECT_EQ(im.pixels(pictureBytes), good.pixels(pictureBytes));
                break;
            }
            ASSERT_LT(n, c.allocations.size()) << "more allocations than expected";
            const Allocation what = c.allocations[n];
            SCOPED_TRACE(allocationName(what));
            EXPECT_EQ(status, ImageOutOfMemory);
            EXPECT_EQ(im->palette, nullptr);

            if (what == FileData) {
                // Nothing read: no buffers, and the sizes of the picture that was there.
                EXPECT_EQ(im->fileData, nullptr);
                EXPECT_EQ(im->pixels, nullptr);
                EXPECT_EQ(im->width, 3);
                EXPECT_EQ(im->height, 1);
                EXPECT_EQ(im->bitsPerPixel, 8);
            } else {
                EXPECT_EQ(im->fileData != nullptr, !tga);
                EXPECT_EQ(im->width, good->width);
                EXPECT_EQ(im->height, good->height);
            }
            if (what == ScratchLine || what == Pixels) {
                EXPECT_EQ(im->pixels, nullptr);
            }
            if (what == Palette) {
                ASSERT_NE(im->pixels, nullptr);
                EXPECT_EQ(im.pixels(c.pixelsBeforePalette.size()), c.pixelsBeforePalette);
                EXPECT_EQ(im->bitsPerPixel, 8);
            }
            releaseImage(im.image);
            EXPECT_EQ(liveBufferCount(), liveBefore) << "buffers left behind";
        }
    }
}

TEST_F(AllocationFailure, CountdownFailsOnceAndCanBeSwitchedOff) {
    setAllocationFailureCountdown(1);
    uint8_t* first = allocBuffer(4);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % alignof(std::max_align_t), 0u); // as calloc's
    EXPECT_FALSE(allocationFailureHappened());
    EXPECT_EQ(allocBuffer(4), nullptr);
    EXPECT_TRUE(allocationFailureHappened());
    uint8_t* after = allocBuffer(4);
    EXPECT_NE(after, nullptr);
    EXPECT_EQ(liveBufferCount(), liveAtStart + 2);
    freeBuffer(first);
    freeBuffer(after);
    freeBuffer(nullptr);
    uint8_t* field = allocBuffer(4); // a buffer made again in a field frees the one it held
    ASSERT_EQ(makeBuffer(field, 8), ImageOk);
    EXPECT_EQ(liveBufferCount(), liveAtStart + 1);
    releaseBuffer(field);
    EXPECT_EQ(liveBufferCount(), liveAtStart);
    setLargestBuffer(8); // larger blocks are refused, that one is not
    uint8_t* largest = allocBuffer(8);
    EXPECT_NE(largest, nullptr);
    EXPECT_EQ(allocBuffer(9), nullptr);
    freeBuffer(largest);
    setLargestBuffer(SIZE_MAX);

    setAllocationFailureCountdown(0);
    setAllocationFailureCountdown(-1);
    uint8_t* kept = allocBuffer(1);
    EXPECT_NE(kept, nullptr);
    EXPECT_FALSE(allocationFailureHappened());
    freeBuffer(kept);
}

// Small blocks come from the heap, large ones from a huge-page mapping; the sanitized build
// watches both to their edges.
TEST_F(AllocationFailure, HeapAndMappedBlocksAreZeroedAndGuarded) {
    constexpr size_t hugePage = size_t{2} << 20;
    for (size_t bytes : {size_t{1}, 2 * hugePage + 3}) {
        uint8_t* block = allocBuffer(bytes);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block[0] | block[bytes - 1], 0);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % hugePage == 0, bytes > hugePage);
#if defined(__SANITIZE_ADDRESS__)
        EXPECT_TRUE(__asan_address_is_poisoned(block - 1));
        EXPECT_TRUE(__asan_address_is_poisoned(block + bytes));
#endif
        freeBuffer(block);
        if (bytes > hugePage) // the mapping goes with its block
            EXPECT_NE(msync(block, 4096, MS_ASYNC), 0);
    }
}

} // namespace
