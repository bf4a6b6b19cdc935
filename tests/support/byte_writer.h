// Files built byte by byte, little-endian, for the tests, the benchmarks and the scenario: one
// builder that appends, patches at an offset and cuts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

// Appends a value's bytes, low byte first.
inline void appendLe16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t((v >> 8) & 0xFF));
}
inline void appendLe32(std::vector<uint8_t>& out, uint32_t v) {
    appendLe16(out, v & 0xFFFF);
    appendLe16(out, v >> 16);
}

struct Bytes {
    std::vector<uint8_t> data;

    Bytes& u8(unsigned v) {
        data.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& u16(unsigned v) {
        appendLe16(data, v);
        return *this;
    }
    Bytes& u32(uint32_t v) {
        appendLe32(data, v);
        return *this;
    }
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
