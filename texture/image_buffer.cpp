#include "texture/image_buffer.h"

#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

// Large blocks go in huge pages where the system takes the request; every other block comes
// from the heap. The sanitized build takes the same paths as the release build, with the bytes
// around each block poisoned so that it is still watched to its edges.
#if defined(__linux__) && defined(MADV_HUGEPAGE)
#define QF_HUGE_PAGES 1
#endif
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#endif
#endif
#if !defined(ASAN_POISON_MEMORY_REGION)
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace {

// Test-hook state; one thread uses the Images, so plain values do.
long failureCountdown = -1;
bool failureHappened = false;
long liveBuffers = 0;
size_t largestBuffer = SIZE_MAX;

// Each block carries, just before its bytes, where its memory came from.
struct BlockHeader {
    void* mapping;     // an mmap'd region, or the calloc'd block holding this header
    size_t mappedSize; // 0 for a calloc'd block
};
constexpr size_t kHeaderSize = 64; // keeps the bytes as aligned as calloc's

BlockHeader* headerOf(uint8_t* buffer) {
    return reinterpret_cast<BlockHeader*>(buffer - kHeaderSize);
}

#if defined(QF_HUGE_PAGES)
// Large pictures go in a mapping of their own that starts on a 2 MiB boundary and is all
// advised to be huge pages: 48 MiB of pixels then cost two dozen page faults, each one page
// zeroed, where calloc's mapping (huge pages only in its aligned middle, 4 KiB pages at both
// ends) costs a thousand more. Untouched pages of the mapping's slack are never made, so it
// takes no more memory than its size and one page for the header.
uint8_t* mapHugeBlock(size_t bytes) {
    constexpr size_t kHugePage = size_t{2} << 20;
    if (bytes < 2 * kHugePage)
        return nullptr;
    const size_t mappedSize = bytes + kHugePage;
    void* mapping =
        mmap(nullptr, mappedSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return nullptr;
    const uintptr_t first = reinterpret_cast<uintptr_t>(mapping) + kHeaderSize;
    auto* buffer = reinterpret_cast<uint8_t*>((first + kHugePage - 1) & ~(kHugePage - 1));
    madvise(buffer, bytes, MADV_HUGEPAGE);
    *headerOf(buffer) = {mapping, mappedSize};
    uint8_t* end = static_cast<uint8_t*>(mapping) + mappedSize;
    ASAN_POISON_MEMORY_REGION(mapping,
                              static_cast<size_t>(buffer - static_cast<uint8_t*>(mapping)));
    ASAN_POISON_MEMORY_REGION(buffer + bytes, static_cast<size_t>(end - (buffer + bytes)));
    return buffer;
}

void unmapHugeBlock(const BlockHeader& header) {
    ASAN_UNPOISON_MEMORY_REGION(header.mapping, header.mappedSize);
    munmap(header.mapping, header.mappedSize);
}
#else
uint8_t* mapHugeBlock(size_t) {
    return nullptr;
}

void unmapHugeBlock(const BlockHeader&) {}
#endif

} // namespace

uint8_t* allocBuffer(size_t bytes) {
    if (failureCountdown >= 0 && failureCountdown-- == 0) {
        failureHappened = true;
        return nullptr;
    }
    if (bytes > largestBuffer)
        return nullptr;
    // calloc gives zeroed pages without touching them, so a large picture whose decoder
    // fails early costs no memory; a zero-length picture still gets a block of its own.
    uint8_t* buffer = mapHugeBlock(bytes);
    if (!buffer && bytes <= SIZE_MAX - kHeaderSize) {
        if (auto* block = static_cast<uint8_t*>(std::calloc(kHeaderSize + bytes, 1))) {
            buffer = block + kHeaderSize;
            *headerOf(buffer) = {block, 0};
            ASAN_POISON_MEMORY_REGION(block, kHeaderSize);
        }
    }
    if (buffer)
        ++liveBuffers;
    return buffer;
}

void freeBuffer(uint8_t* buffer) {
    if (!buffer)
        return;
    --liveBuffers;
    ASAN_UNPOISON_MEMORY_REGION(headerOf(buffer), kHeaderSize);
    const BlockHeader header = *headerOf(buffer);
    if (header.mappedSize)
        unmapHugeBlock(header);
    else
        std::free(header.mapping);
}

void setAllocationFailureCountdown(long count) {
    failureCountdown = count < 0 ? -1 : count;
    failureHappened = false;
}

bool allocationFailureHappened() {
    return failureHappened;
}

long liveBufferCount() {
    return liveBuffers;
}

void setLargestBuffer(size_t bytes) {
    largestBuffer = bytes;
}
