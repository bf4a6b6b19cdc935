// libFuzzer target for `load`: each input is written to a file and loaded exactly as the
// program loads a chosen picture. QF_FUZZ_EXTENSION fixes the file's extension; without it the
// input's first byte picks one (the four, other spellings, a foreign one, none) and the rest is
// the file.
//
// Beyond the sanitizers' own checks, each run asserts what callers rely on: a known status,
// file bytes left as read, after ImageOk pixel and palette buffers as long as the Image says,
// the same outcome when the same file is loaded again into the used Image, no buffer left once
// the Image is released, and ImageOutOfMemory with nothing left behind when any one of the
// load's allocations fails.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "texture/image.h"
#include "texture/image_buffer.h"

// A 4 KB input can claim a picture of 2 GB. Past this size allocations fail as on a machine out
// of memory, which keeps each run fast and reaches the readers' out-of-memory paths.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=64";
}

namespace {

std::string directory;

void removeDirectory() {
    if (!directory.empty())
        rmdir(directory.c_str());
}

[[noreturn]] void fail(const char* what, const char* path) {
    std::fprintf(stderr, "load_fuzzer: %s (%s)\n", what, path);
    std::abort();
}

void check(bool condition, const char* what, const char* path) {
    if (!condition)
        fail(what, path);
}

// Reads every byte the Image claims to hold, so a buffer shorter than its picture shows up as
// an out-of-bounds read.
uint32_t touchPicture(const Image& image) {
    uint32_t sum = 0;
    const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) *
                         static_cast<size_t>(image.bitsPerPixel / 8);
    for (size_t i = 0; i < count; ++i)
        sum += image.pixels[i];
    if (image.palette) {
        for (size_t i = 0; i < 768; ++i)
            sum += image.palette[i];
    }
    return sum;
}

// A fingerprint of the decoded pixels (FNV-1a over every byte): two loads are compared by it,
// not by a copy, as a picture may be as large as the loader allows (hundreds of megabytes).
uint64_t pictureHash(const Image& image) {
    const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) *
                         static_cast<size_t>(image.bitsPerPixel / 8);
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < count; ++i)
        hash = (hash ^ image.pixels[i]) * 1099511628211ull;
    return hash;
}

bool writeFile(const std::string& path, const uint8_t* data, size_t size) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, data + done, size - done);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    close(fd);
    return done == size;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // tmpfs where there is one. No "." in the directory, so a name without an extension has
    // none at all.
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    directory = std::string(base) + "/qf_fuzz_" + std::to_string(getpid());
    mkdir(directory.c_str(), 0700);
    std::atexit(removeDirectory);
    // Pictures past 64 MiB are refused as out of memory: under the sanitizers a decoder filling
    // hundreds of megabytes takes longer than an input may.
    setLargestBuffer(size_t(64) << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
#ifdef QF_FUZZ_EXTENSION
    const char* extension = QF_FUZZ_EXTENSION;
#else
    static const char* const kExtensions[] = {".bmp", ".pcx", ".tga", ".qfr",  ".BMP", ".pCx",
                                              ".TgA", ".QFR", ".txt", ".bmpx", ""};
    if (size == 0)
        return 0;
    const char* extension = kExtensions[data[0] % (sizeof kExtensions / sizeof kExtensions[0])];
    ++data;
    --size;
#endif
    const std::string path = directory + "/input" + extension;
    if (!writeFile(path, data, size))
        fail("cannot write the input file", path.c_str());
    const char* name = path.c_str();
    const bool tga = equalsIgnoreCase(extension, ".tga");

    Image image{};
    const ImageStatus status = load(image, name);
    check(status == ImageOk || status == ImageOutOfMemory || status == ImageBadFile ||
              status == ImageUnsupported,
          "unexpected status", name);
    if (tga) {
        check(image.fileData == nullptr, "TGA file data kept", name);
    } else {
        check(image.fileData != nullptr && image.fileSize == size, "file data lost", name);
        check(size == 0 || std::memcmp(image.fileData, data, size) == 0, "file data changed", name);
    }
    uint64_t first = 0;
    if (status == ImageOk) {
        check(image.pixels != nullptr, "ImageOk without pixels", name);
        check(image.width >= 0 && image.height >= 0 && image.bitsPerPixel >= 0,
              "ImageOk with a negative size", name);
        touchPicture(image);
        first = pictureHash(image);
    }

    // Loading again into the used Image releases the old buffers and decodes the same.
    const ImageStatus again = load(image, name);
    check(again == status, "second load differs", name);
    if (again == ImageOk) {
        check(pictureHash(image) == first, "second load decodes other pixels", name);
        touchPicture(image);
    }
    releaseImage(image);
    check(liveBufferCount() == 0, "buffers left after release", name);

    // Each allocation of the load made to fail in turn: the failure is reported as such and
    // leaves nothing behind, whatever the file holds.
    for (long n = 0; n < 8; ++n) {
        Image failing{};
        setAllocationFailureCountdown(n);
        const ImageStatus result = load(failing, name);
        const bool failed = allocationFailureHappened();
        setAllocationFailureCountdown(-1);
        if (failed) {
            check(result == ImageOutOfMemory, "failed allocation not reported", name);
            check(n > 0 || (!failing.fileData && !failing.pixels && !failing.palette),
                  "buffers made without the file", name);
        } else {
            check(result == status, "load after the last allocation differs", name);
        }
        releaseImage(failing);
        check(liveBufferCount() == 0, "buffers left after a failed allocation", name);
        if (!failed)
            break;
    }
    unlink(name);
    return 0;
}
