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

#include "texture/image.h"
#include "texture/image_buffer.h"

struct Bytes {
    std::vector<uint8_t> data;

    Bytes& u8(unsigned v) {
        data.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& u16(unsigned v) { return u8(v & 0xFF).u8(v >> 8); }
    Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& raw(std::initializer_list<unsigned> values) {
        for (unsigned v : values)
            u8(v);
        return *this;
    }
    Bytes& append(const std::vector<uint8_t>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }
    Bytes& fill(size_t count, unsigned v) {
        data.resize(data.size() + count, uint8_t(v));
        return *this;
    }
    Bytes& padTo(size_t size) {
        if (data.size() < size)
            data.resize(size, 0);
        return *this;
    }
    Bytes& put8(size_t at, unsigned v) {
        data.at(at) = uint8_t(v);
        return *this;
    }
    Bytes& put16(size_t at, unsigned v) { return put8(at, v & 0xFF).put8(at + 1, v >> 8); }
    Bytes& put32(size_t at, uint32_t v) { return put16(at, v & 0xFFFF).put16(at + 2, v >> 16); }
    Bytes& cut(size_t drop) {
        data.resize(drop < data.size() ? data.size() - drop : 0);
        return *this;
    }
};

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
