#include "bench/floor_loader.h"

#include "bench/picture_files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr size_t kHugePage = size_t{2} << 20;

// An anonymous block on a huge-page boundary, advised to be made of huge pages.
struct HugeBlock {
    void* mapping = MAP_FAILED;
    size_t mappedSize = 0;
    uint8_t* data = nullptr;

    explicit HugeBlock(size_t size) {
        mappedSize = size + kHugePage;
        mapping = mmap(nullptr, mappedSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                       -1, 0);
        if (mapping == MAP_FAILED)
            return;
        const uintptr_t start = reinterpret_cast<uintptr_t>(mapping);
        data = reinterpret_cast<uint8_t*>((start + kHugePage - 1) & ~(kHugePage - 1));
        madvise(data, size, MADV_HUGEPAGE);
    }
    ~HugeBlock() {
        if (mapping != MAP_FAILED)
            munmap(mapping, mappedSize);
    }
    HugeBlock(const HugeBlock&) = delete;
    HugeBlock& operator=(const HugeBlock&) = delete;
};

uint32_t le16(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}
uint32_t le32(const uint8_t* p) {
    return le16(p) | le16(p + 2) << 16;
}

// Where the stored pixels are and how they are laid out.
struct Layout {
    size_t offset;
    int width, height, pixelSize;
    bool bottomUp, blueFirst;
};

bool layoutOf(const uint8_t* file, size_t size, const std::string& path, Layout& layout) {
    if (path.ends_with(".bmp") && size >= 54) {
        layout = {le32(file + 10), int(le32(file + 18)), int(le32(file + 22)),
                  int(le16(file + 28)) / 8, true, true};
    } else if (path.ends_with(".tga") && size >= 18) {
        layout = {18u + file[0], int(le16(file + 12)), int(le16(file + 14)), file[16] / 8,
                  (file[17] & 0x20) == 0, true};
    } else if (path.ends_with(".qfr") && size >= 5) {
        layout = {5, int(le16(file)), int(le16(file + 2)), file[4] / 8, false, false};
    } else {
        return false;
    }
    // BMP rows are padded to four bytes; the benchmark's widths need no pad.
    return layout.offset + size_t(layout.width) * layout.height * layout.pixelSize <= size;
}

// One row, red and blue exchanged when the file stores blue first.
void copyRow(uint8_t* out, const uint8_t* in, int width, int pixelSize, bool blueFirst) {
    if (!blueFirst) {
        std::memcpy(out, in, size_t(width) * pixelSize);
    } else if (pixelSize == 4) {
        for (int x = 0; x < width; ++x, in += 4, out += 4) {
            uint32_t v;
            std::memcpy(&v, in, 4);
            v = (v & 0xFF00FF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16;
            std::memcpy(out, &v, 4);
        }
    } else {
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
}

// Reads and decodes; `inspect` sees the pixels before the blocks go.
template <typename Inspect> bool loadAtFloor(const std::string& path, Inspect&& inspect) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        close(fd);
        return false;
    }
    const size_t size = size_t(info.st_size);
    HugeBlock file(size);
    const bool read = file.data && ::read(fd, file.data, size) == ssize_t(size);
    close(fd);
    Layout layout{};
    if (!read || !layoutOf(file.data, size, path, layout))
        return false;
    const size_t row = size_t(layout.width) * layout.pixelSize;
    HugeBlock pixels(row * layout.height);
    if (!pixels.data)
        return false;
    for (int y = 0; y < layout.height; ++y) {
        const int stored = layout.bottomUp ? layout.height - 1 - y : y;
        copyRow(pixels.data + y * row, file.data + layout.offset + stored * row, layout.width,
                layout.pixelSize, layout.blueFirst);
    }
    return inspect(pixels.data, layout);
}

} // namespace

bool decodeAtFloor(const std::string& path) {
    return loadAtFloor(path, [](const uint8_t*, const Layout&) { return true; });
}

std::string checkFloor(const std::string& path) {
    std::string result = "cannot read";
    loadAtFloor(path, [&](const uint8_t* pixels, const Layout& layout) {
        result = "";
        for (int y = 0; y < layout.height && result.empty(); ++y) {
            for (int x = 0; x < layout.width; ++x) {
                const uint8_t* p = pixels + (size_t(y) * layout.width + x) * layout.pixelSize;
                const Rgba c = pictureColour(x, y);
                if (p[0] != c.r || p[1] != c.g || p[2] != c.b ||
                    (layout.pixelSize == 4 && p[3] != c.a)) {
                    result = "pixel " + std::to_string(x) + ", " + std::to_string(y);
                    break;
                }
            }
        }
        return true;
    });
    return result;
}
