// Picture files for the soak, written at its start into a folder of its own: pictures the
// program must take (every format, 24 and 32 bits, powers of two), pictures it must refuse
// as textures (sides that are not powers of two, 8- and 16-bit pixels), and hostile files
// made from those by the run's seed (cut short, bytes changed, sizes that lie), plus an empty
// file, a folder, unknown extensions and a name that does not exist.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "texture/image.h"

namespace soak {

enum class FileKind { Valid, NotPowerOfTwo, OtherDepth, Hostile, Missing };
const char* kindName(FileKind kind);

struct SoakFile {
    std::string path; // full path
    std::string name; // without its folder
    FileKind kind;
};

// An Image as seen from outside: its fields, and the bytes of each buffer it holds, as far
// as its fields say the buffer reaches (what a copy or an upload of it reads).
struct ImageSnapshot {
    ImageStatus status = ImageOk; // of the load that left it, where one did
    Image fields{};               // buffer pointers cleared
    bool hasPixels = false;
    bool hasPalette = false;
    bool hasFileData = false;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> palette;
    std::vector<uint8_t> fileData;
};
using SharedSnapshot = std::shared_ptr<const ImageSnapshot>;

// Bytes of the pixel buffer its fields account for: width x height x whole bytes per pixel.
size_t pixelBytesOf(const Image& image);
constexpr size_t paletteBytes = 768;

ImageSnapshot snapshotOf(const Image& image);
// What load() leaves when it reads `path` into an Image whose fields are `before`'s (the
// buffers are released first, as load does).
ImageSnapshot loadedFrom(const Image& before, const std::string& path);

class SoakFiles {
  public:
    SoakFiles(const std::filesystem::path& folder, uint64_t seed);
    ~SoakFiles();
    SoakFiles(const SoakFiles&) = delete;
    SoakFiles& operator=(const SoakFiles&) = delete;

    const std::vector<SoakFile>& ofKind(FileKind kind) const;
    // Valid files that do not decode to the picture written into them.
    const std::vector<std::string>& problems() const { return problems_; }
    std::string summary() const;

  private:
    void add(FileKind kind, const std::string& name, const std::vector<uint8_t>& bytes);
    void addValid(const std::string& name, const std::vector<uint8_t>& bytes, int width, int height,
                  int bits, const std::vector<uint8_t>& rgb);
    void addHostile(uint64_t seed);

    std::filesystem::path folder_;
    std::map<FileKind, std::vector<SoakFile>> files_;
    std::vector<std::string> problems_;
    int hostileRefused_ = 0;
};

} // namespace soak
