#include "texture/image_buffer.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

// Test-hook state; one thread uses the Images, so plain values do.
long failureCountdown = -1;
bool failureHappened = false;
long liveBuffers = 0;

// Large pictures are faulted in 2 MiB at a time where the system offers transparent huge pages
// on request: 48 MiB of pixels then cost a few hundred page faults instead of twelve thousand.
// Only the whole huge pages inside the block are advised, so it never takes more memory than
// its size.
void adviseHugePages(uint8_t* block, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
    const uintptr_t first = reinterpret_cast<uintptr_t>(block);
    const uintptr_t start = (first + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t end = (first + bytes) & ~(kHugePage - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

} // namespace

uint8_t* allocBuffer(size_t bytes) {
    if (failureCountdown >= 0 && failureCountdown-- == 0) {
        failureHappened = true;
        return nullptr;
    }
    // calloc gives zeroed pages without touching them, so a large picture whose decoder
    // fails early costs no memory; a zero-length picture still gets a block of its own.
    uint8_t* buffer = static_cast<uint8_t*>(std::calloc(bytes == 0 ? 1 : bytes, 1));
    if (buffer) {
        ++liveBuffers;
        adviseHugePages(buffer, bytes);
    }
    return buffer;
}

void freeBuffer(uint8_t* buffer) {
    if (buffer)
        --liveBuffers;
    std::free(buffer);
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
