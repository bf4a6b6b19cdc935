#include "tests/systems/soak/soak_files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tests/support/picture_files.h"
#include "tests/support/seeded_random.h"
#include "tests/systems/soak/link_watch.h"

namespace soak {

namespace {

// A hostile file is kept only if reading it stays cheap: the soak reads each many times, and
// a texture is made from whatever pixels a failed read leaves.
constexpr size_t largestBlockDuringLoad = size_t{16} << 20;
constexpr size_t largestKeptPixels = size_t{1} << 20;
constexpr int64_t largestKeptArea = 256 * 256;

struct Bytes {
    std::vector<uint8_t> data;
    void u8(unsigned v) { data.push_back(uint8_t(v)); }
    void u16(unsigned v) { u8(v & 0xFF), u8(v >> 8); }
    void u32(uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
};

// Every picture differs from the others in every texel.
Picture patterned(int width, int height, int index) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.pixels.push_back({uint8_t(x * 37 + index * 53), uint8_t(y * 91 + index * 17),
                                      uint8_t(x * y + index * 29 + 5), 255});
    return picture;
}

std::vector<uint8_t> decodedBytes(const Picture& picture, int bits) {
    std::vector<uint8_t> bytes;
    for (const Rgba& pixel : picture.pixels) {
        bytes.insert(bytes.end(), {pixel.r, pixel.g, pixel.b});
        if (bits == 32)
            bytes.push_back(pixel.a);
    }
    return bytes;
}

// An 8-bit indexed BMP with a grey colour table.
std::vector<uint8_t> indexedBmp(int width, int height) {
    const int stride = (width + 3) & ~3;
    const uint32_t pixelBytes = uint32_t(stride * height);
    Bytes out;
    out.u8('B'), out.u8('M'), out.u32(54 + 1024 + pixelBytes), out.u32(0), out.u32(54 + 1024);
    out.u32(40), out.u32(uint32_t(width)), out.u32(uint32_t(height));
    out.u16(1), out.u16(8), out.u32(0), out.u32(pixelBytes);
    out.u32(2835), out.u32(2835), out.u32(256), out.u32(0);
    for (unsigned i = 0; i < 256; ++i)
        out.u8(i), out.u8(i), out.u8(i), out.u8(0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < stride; ++x)
            out.u8(unsigned(x * 16 + y) & 0xFF);
    return out.data;
}

// A one-plane PCX with its colour table at the end; literal bytes only (all below 0xC0).
std::vector<uint8_t> indexedPcx(int width, int height) {
    const unsigned bytesPerLine = unsigned(width + (width & 1));
    Bytes out;
    out.u8(10), out.u8(5), out.u8(1), out.u8(8);
    out.u16(0), out.u16(0), out.u16(unsigned(width - 1)), out.u16(unsigned(height - 1));
    out.u16(72), out.u16(72);
    out.data.resize(out.data.size() + 48, 0);
    out.u8(0), out.u8(1), out.u16(bytesPerLine), out.u16(1);
    out.data.resize(128, 0);
    for (int y = 0; y < height; ++y)
        for (unsigned x = 0; x < bytesPerLine; ++x)
            out.u8((x * 7 + unsigned(y) * 3) % 0xC0);
    out.u8(12);
    for (unsigned i = 0; i < 256; ++i)
        out.u8(i), out.u8(255 - i), out.u8(i / 2);
    return out.data;
}

// A BMP header for a picture far larger than the bytes that follow it.
std::vector<uint8_t> lyingBmp() {
    Bytes out;
    out.u8('B'), out.u8('M'), out.u32(100), out.u32(0), out.u32(54);
    out.u32(40), out.u32(1024), out.u32(1024), out.u16(1), out.u16(24), out.u32(0),
        out.u32(1024u * 1024u * 3u);
    out.u32(0), out.u32(0), out.u32(0), out.u32(0);
    out.data.resize(100, 0x5A);
    return out.data;
}

std::vector<uint8_t> lyingQfr() {
    Bytes out;
    out.u16(0x7FFF), out.u16(0x7FFF), out.u8(32);
    out.data.resize(64, 0x11);
    return out.data;
}

// Three-plane PCX whose runs overflow every scan line.
std::vector<uint8_t> overrunningPcx() {
    std::vector<uint8_t> bytes = pcxFile(patterned(8, 8, 3));
    bytes.resize(128);
    for (int i = 0; i < 64; ++i)
        bytes.push_back(0xFF), bytes.push_back(uint8_t(i));
    return bytes;
}

// Cut anywhere, or (half of the time) inside the pixel data, after the header was read and
// the buffers made.
std::vector<uint8_t> cut(std::vector<uint8_t> bytes, SeededRandom& random) {
    const int size = int(bytes.size());
    const int headerEnd = std::min(size - 1, 160);
    bytes.resize(
        size_t(random.percent(50) ? random.below(size) : random.between(headerEnd, size - 1)));
    return bytes;
}

std::vector<uint8_t> mutated(std::vector<uint8_t> bytes, SeededRandom& random) {
    static const uint8_t extremes[] = {0x00, 0xFF, 0x7F, 0x80, 0x01, 0xC0};
    if (bytes.empty())
        return bytes;
    int changes = random.between(1, 4);
    for (int i = 0; i < changes; ++i) {
        // Headers hold the sizes and kinds, so they take half of the changes.
        size_t headerEnd = std::min<size_t>(bytes.size(), 64);
        size_t at = random.percent(50) ? size_t(random.below(int(headerEnd)))
                                       : size_t(random.below(int(bytes.size())));
        bytes[at] = random.percent(50) ? extremes[random.below(6)] : uint8_t(random.next());
    }
    return bytes;
}

} // namespace

const char* kindName(FileKind kind) {
    switch (kind) {
    case FileKind::Valid: return "valid";
    case FileKind::NotPowerOfTwo: return "not a power of two";
    case FileKind::OtherDepth: return "8 or 16 bits";
    case FileKind::Hostile: return "hostile";
    case FileKind::Missing: return "missing";
    }
    return "?";
}

size_t pixelBytesOf(const Image& image) {
    if (image.width <= 0 || image.height <= 0 || image.bitsPerPixel <= 0)
        return 0;
    return size_t(image.width) * size_t(image.height) * size_t(image.bitsPerPixel / 8);
}

namespace {

// The first `wanted` bytes of a buffer, never past the block the buffer lives in.
std::vector<uint8_t> bufferBytes(const uint8_t* buffer, size_t wanted) {
    auto block = watch::liveBlocks().find(buffer);
    size_t reachable = block == watch::liveBlocks().end() ? 0 : block->second;
    return std::vector<uint8_t>(buffer, buffer + std::min(wanted, reachable));
}

} // namespace

ImageSnapshot snapshotOf(const Image& image) {
    ImageSnapshot snapshot;
    snapshot.fields = image;
    snapshot.fields.pixels = snapshot.fields.palette = snapshot.fields.fileData = nullptr;
    snapshot.hasPixels = image.pixels != nullptr;
    snapshot.hasPalette = image.palette != nullptr;
    snapshot.hasFileData = image.fileData != nullptr;
    if (image.pixels)
        snapshot.pixels = bufferBytes(image.pixels, pixelBytesOf(image));
    if (image.palette)
        snapshot.palette = bufferBytes(image.palette, paletteBytes);
    if (image.fileData)
        snapshot.fileData = bufferBytes(image.fileData, image.fileSize);
    return snapshot;
}

ImageSnapshot loadedFrom(const Image& before, const std::string& path) {
    Image image = before;
    image.pixels = image.palette = image.fileData = nullptr;
    ImageStatus status = load(image, path.c_str());
    ImageSnapshot snapshot = snapshotOf(image);
    snapshot.status = status;
    releaseImage(image);
    return snapshot;
}

SoakFiles::SoakFiles(const std::filesystem::path& folder, uint64_t seed) : folder_(folder) {
    std::filesystem::create_directories(folder_);
    int index = 0;
    auto valid = [&](const std::string& name, int width, int height, int bits, auto encode) {
        Picture picture = patterned(width, height, ++index);
        addValid(name, encode(picture), width, height, bits, decodedBytes(picture, bits));
    };
    valid("bmp24_4x4.bmp", 4, 4, 24, [](const Picture& p) { return bmpFile(p, 24); });
    valid("bmp32_8x2.bmp", 8, 2, 32, [](const Picture& p) { return bmpFile(p, 32); });
    valid("bmp24_2x64.bmp", 2, 64, 24, [](const Picture& p) { return bmpFile(p, 24); });
    valid("Upper Case.BMP", 4, 4, 24, [](const Picture& p) { return bmpFile(p, 24); });
    valid("tga24_2x2.tga", 2, 2, 24, [](const Picture& p) { return tgaFile(p, 24); });
    valid("tga32_16x16.tga", 16, 16, 32, [](const Picture& p) { return tgaFile(p, 32); });
    valid("pcx_8x8.pcx", 8, 8, 24, [](const Picture& p) { return pcxFile(p); });
    valid("pcx_2x4.pcx", 2, 4, 24, [](const Picture& p) { return pcxFile(p); });
    valid("qfr24_4x16.qfr", 4, 16, 24, [](const Picture& p) { return qfrFile(p, 24); });
    valid("qfr32_64x64.qfr", 64, 64, 32, [](const Picture& p) { return qfrFile(p, 32); });
    valid(std::string(200, 'n') + ".tga", 4, 4, 24,
          [](const Picture& p) { return tgaFile(p, 24); });

    add(FileKind::NotPowerOfTwo, "bmp24_3x4.bmp", bmpFile(patterned(3, 4, 20), 24));
    add(FileKind::NotPowerOfTwo, "tga24_100x64.tga", tgaFile(patterned(100, 64, 21), 24));
    add(FileKind::NotPowerOfTwo, "qfr24_64x100.qfr", qfrFile(patterned(64, 100, 22), 24));
    add(FileKind::NotPowerOfTwo, "qfr24_1x1.qfr", qfrFile(patterned(1, 1, 23), 24));
    add(FileKind::NotPowerOfTwo, "pcx_6x8.pcx", pcxFile(patterned(6, 8, 24)));

    add(FileKind::OtherDepth, "qfr8_4x4.qfr", qfrFileOfDepth(4, 4, 8, 0x55));
    add(FileKind::OtherDepth, "qfr16_8x8.qfr", qfrFileOfDepth(8, 8, 16, 0xA7));
    add(FileKind::OtherDepth, "bmp8_8x8.bmp", indexedBmp(8, 8));
    add(FileKind::OtherDepth, "pcx8_8x4.pcx", indexedPcx(8, 4));

    addHostile(seed);

    std::string missing = (folder_ / "missing.tga").string();
    files_[FileKind::Missing].push_back({missing, "missing.tga", FileKind::Missing});
}

SoakFiles::~SoakFiles() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void SoakFiles::add(FileKind kind, const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = (folder_ / name).string();
    writeFile(path, bytes);
    files_[kind].push_back({path, name, kind});
}

void SoakFiles::addValid(const std::string& name, const std::vector<uint8_t>& bytes, int width,
                         int height, int bits, const std::vector<uint8_t>& pixels) {
    add(FileKind::Valid, name, bytes);
    ImageSnapshot loaded = loadedFrom(Image{}, files_[FileKind::Valid].back().path);
    const Image& image = loaded.fields;
    if (loaded.status == ImageOk && image.width == width && image.height == height &&
        image.bitsPerPixel == bits && loaded.pixels == pixels)
        return;
    char problem[512];
    std::snprintf(problem, sizeof problem, "%s reads as %s %d x %d %d bit%s", name.c_str(),
                  imageStatusName(loaded.status), image.width, image.height, image.bitsPerPixel,
                  loaded.pixels == pixels ? "" : ", other pixels");
    problems_.push_back(problem);
}

void SoakFiles::addHostile(uint64_t seed) {
    SeededRandom random(seed ^ 0x686F7374696C65ull);
    auto keep = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
        std::string path = (folder_ / name).string();
        writeFile(path, bytes);
        watch::largestBlockSince(true);
        ImageSnapshot loaded = loadedFrom(Image{}, path);
        const Image& image = loaded.fields;
        bool cheap =
            watch::largestBlockSince(true) <= largestBlockDuringLoad &&
            (!loaded.hasPixels || (loaded.pixels.size() <= largestKeptPixels &&
                                   int64_t(image.width) * image.height <= largestKeptArea));
        if (!cheap) {
            std::filesystem::remove(path);
            ++hostileRefused_;
            return false;
        }
        files_[FileKind::Hostile].push_back({path, name, FileKind::Hostile});
        return true;
    };

    std::vector<SoakFile> bases;
    for (FileKind kind : {FileKind::Valid, FileKind::NotPowerOfTwo, FileKind::OtherDepth})
        for (const SoakFile& file : files_[kind])
            bases.push_back(file);
    int serial = 0;
    for (const SoakFile& base : bases) {
        std::vector<uint8_t> bytes;
        {
            std::ifstream in(base.path, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), {});
        }
        std::string extension = std::filesystem::path(base.name).extension().string();
        for (int variant = 0; variant < 4; ++variant) {
            for (int attempt = 0; attempt < 6; ++attempt) {
                std::string name = "h" + std::to_string(++serial) +
                                   (variant < 2 ? "_cut" : "_changed") + extension;
                if (keep(name, variant < 2 ? cut(bytes, random) : mutated(bytes, random)))
                    break;
            }
        }
    }

    keep("empty.bmp", {});
    keep("empty.pcx", {});
    keep("empty.tga", {});
    keep("empty.qfr", {});
    keep("lies.bmp", lyingBmp());
    keep("lies.qfr", lyingQfr());
    keep("runs.pcx", overrunningPcx());
    const char text[] = "not a picture at all";
    keep("text.tga", std::vector<uint8_t>(text, text + sizeof text));
    keep("noextension", bmpFile(patterned(4, 4, 30), 24));
    keep("picture.png", bmpFile(patterned(4, 4, 31), 24));
    std::filesystem::create_directories(folder_ / "folder.bmp");
    files_[FileKind::Hostile].push_back(
        {(folder_ / "folder.bmp").string(), "folder.bmp", FileKind::Hostile});
}

const std::vector<SoakFile>& SoakFiles::ofKind(FileKind kind) const {
    static const std::vector<SoakFile> none;
    auto found = files_.find(kind);
    return found == files_.end() ? none : found->second;
}

std::string SoakFiles::summary() const {
    std::string text;
    for (const auto& [kind, files] : files_)
        text += std::to_string(files.size()) + " " + kindName(kind) + ", ";
    return text + std::to_string(hostileRefused_) + " hostile candidates too costly to keep";
}

} // namespace soak
