#include "texture/image_buffer.h"

#include <cstdlib>

namespace {
// Test-hook state; one thread uses the Images, so plain values do.
long failureCountdown = -1;
bool failureHappened = false;
long liveBuffers = 0;
} // namespace

uint8_t* allocBuffer(size_t bytes) {
    if (failureCountdown >= 0 && failureCountdown-- == 0) {
        failureHappened = true;
        return nullptr;
    }
    // calloc gives zeroed pages without touching them, so a large picture whose decoder
    // fails early costs no memory; a zero-length picture still gets a block of its own.
    uint8_t* buffer = static_cast<uint8_t*>(std::calloc(bytes == 0 ? 1 : bytes, 1));
    if (buffer)
        ++liveBuffers;
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
