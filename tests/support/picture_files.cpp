#include "tests/support/picture_files.h"

#include "tests/support/byte_writer.h"

#include <fstream>
#include <stdexcept>

namespace {

void blueGreenRed(Bytes& out, Rgba pixel, int bits) {
    out.u8(pixel.b), out.u8(pixel.g), out.u8(pixel.r);
    if (bits == 32)
        out.u8(pixel.a);
    out.fill(size_t(std::max(0, bits / 8 - (bits == 32 ? 4 : 3))), 0); // wider: the rest zero
}

// One scan line of one plane: runs of up to 63, and single bytes that could pass for a run
// count written as a run of one.
void encodePcxLine(Bytes& out, const std::vector<uint8_t>& line) {
    for (size_t i = 0; i < line.size();) {
        size_t run = 1;
        while (i + run < line.size() && line[i + run] == line[i] && run < 63)
            ++run;
        if (run > 1 || line[i] >= 0xC0)
            out.u8(0xC0 | unsigned(run));
        out.u8(line[i]);
        i += run;
    }
}

} // namespace

Picture solidPicture(int width, int height, Rgba colour) {
    return {width, height, std::vector<Rgba>(size_t(width) * size_t(height), colour)};
}

std::vector<uint8_t> bmpFile(const Picture& picture, int bits) {
    const int rowBytes = picture.width * bits / 8;
    const int stride = (rowBytes + 3) & ~3;
    const uint32_t pixelBytes = uint32_t(stride * picture.height);
    Bytes out;
    out.u8('B'), out.u8('M'), out.u32(54 + pixelBytes), out.u32(0), out.u32(54);
    out.u32(40), out.u32(uint32_t(picture.width)), out.u32(uint32_t(picture.height));
    out.u16(1), out.u16(unsigned(bits)), out.u32(0), out.u32(pixelBytes);
    out.u32(2835), out.u32(2835), out.u32(0), out.u32(0);
    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x)
            blueGreenRed(out, picture.at(x, y), bits);
        out.fill(size_t(stride - rowBytes), 0);
    }
    return out.data;
}

std::vector<uint8_t> pcxFile(const Picture& picture) {
    const unsigned bytesPerLine = unsigned(picture.width + (picture.width & 1)); // kept even
    Bytes out;
    out.u8(10), out.u8(5), out.u8(1), out.u8(8);
    out.u16(0), out.u16(0), out.u16(unsigned(picture.width - 1)),
        out.u16(unsigned(picture.height - 1));
    out.u16(72), out.u16(72);
    out.fill(48, 0); // 16-colour table, unused at this depth
    out.u8(0), out.u8(3), out.u16(bytesPerLine), out.u16(1);
    out.fill(128 - out.data.size(), 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int plane = 0; plane < 3; ++plane) {
            std::vector<uint8_t> line(bytesPerLine, 0);
            for (int x = 0; x < picture.width; ++x) {
                Rgba pixel = picture.at(x, y);
                line[size_t(x)] = plane == 0 ? pixel.r : plane == 1 ? pixel.g : pixel.b;
            }
            encodePcxLine(out, line);
        }
    }
    return out.data;
}

std::vector<uint8_t> tgaFile(const Picture& picture, int bits) {
    Bytes out;
    out.u8(0), out.u8(0), out.u8(2);
    out.fill(5, 0);         // no colour map
    out.u16(0), out.u16(0); // origin
    out.u16(unsigned(picture.width)), out.u16(unsigned(picture.height));
    out.u8(unsigned(bits)), out.u8(bits == 32 ? 8 : 0); // alpha bits; rows bottom first
    for (int y = picture.height - 1; y >= 0; --y)
        for (int x = 0; x < picture.width; ++x)
            blueGreenRed(out, picture.at(x, y), bits);
    return out.data;
}

std::vector<uint8_t> qfrFile(const Picture& picture, int bits) {
    Bytes out;
    out.u16(unsigned(picture.width)), out.u16(unsigned(picture.height)), out.u8(unsigned(bits));
    for (const Rgba& pixel : picture.pixels) {
        out.u8(pixel.r), out.u8(pixel.g), out.u8(pixel.b);
        if (bits == 32)
            out.u8(pixel.a);
    }
    return out.data;
}

std::vector<uint8_t> qfrFileOfDepth(int width, int height, int bits, uint8_t fill) {
    Bytes out;
    out.u16(unsigned(width)), out.u16(unsigned(height)), out.u8(unsigned(bits));
    out.data.resize(out.data.size() + size_t(width) * size_t(height) * size_t(bits / 8), fill);
    return out.data;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}
