// Building image files byte by byte, and Images that hold them, for the reader tests.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/byte_writer.h"
#include "texture/image.h"
#include "texture/image_buffer.h"

// With QF_SEED_DIR set, every file a test builds is also written there as
// <format>/<test>_<n>.<format>, the format taken from `extension` or else from the test suite's
// name ("BmpReader" gives bmp); the fuzz seeds include them (scripts/make_fuzz_seeds.py).
inline void saveAsSeed(const Bytes& file, std::string extension = {}) {
    const char* dir = std::getenv("QF_SEED_DIR");
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!dir || !test)
        return;
    if (extension.empty()) {
        const std::string suite = test->test_suite_name();
        if (suite.size() < 3)
            return;
        extension = suite.substr(0, 3);
    }
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension != "bmp" && extension != "pcx" && extension != "tga" && extension != "qfr")
        return;
    static int count = 0;
    const std::string path = std::string(dir) + "/" + extension + "/" + test->test_suite_name() +
                             "." + test->name() + "_" + std::to_string(count++) + "." + extension;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data.data()),
               static_cast<std::streamsize>(file.data.size()));
}

// An Image that holds a file as load leaves it, and frees its buffers at the end of a test.
struct HeldImage {
    Image image{};
    explicit HeldImage(const Bytes& file) {
        saveAsSeed(file);
        image.fileSize = static_cast<uint32_t>(file.data.size());
        image.fileData = allocBuffer(file.data.size());
        if (!file.data.empty())
            std::memcpy(image.fileData, file.data.data(), file.data.size());
    }
    HeldImage() = default;
    ~HeldImage() { releaseImage(image); }
    HeldImage(const HeldImage&) = delete;
    HeldImage& operator=(const HeldImage&) = delete;
    Image* operator->() { return &image; }

    std::vector<uint8_t> pixels(size_t count) const { return {image.pixels, image.pixels + count}; }
    std::vector<uint8_t> paletteEntry(int index) const {
        return {image.palette + 3 * index, image.palette + 3 * index + 3};
    }
};

using ByteList = std::vector<uint8_t>;
