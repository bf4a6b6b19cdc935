#include "texture/image_buffer.h"

#include <cstdlib>

uint8_t* allocBuffer(size_t bytes) {
    // calloc gives zeroed pages without touching them, so a large picture whose decoder
    // fails early costs no memory; a zero-length picture still gets a block of its own.
    return static_cast<uint8_t*>(std::calloc(bytes == 0 ? 1 : bytes, 1));
}

void freeBuffer(uint8_t* buffer) {
    std::free(buffer);
}
