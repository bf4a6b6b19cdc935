// Building image files byte by byte, and Images that hold them, for the reader tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
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
        data.resize(data.size() - drop);
        return *this;
    }
};

// An Image that holds a file as load leaves it, and frees its buffers at the end of a test.
struct HeldImage {
    Image image{};
    explicit HeldImage(const Bytes& file) {
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
