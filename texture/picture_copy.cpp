#include "texture/picture_copy.h"

#include <cstring>

#include "texture/image_buffer.h"
#include "texture/texture_object.h"

namespace {

// Makes `copy` a new block holding the first `bytes` bytes of `source` (null for a null
// source); false when no memory is left.
bool copyBuffer(const uint8_t* source, size_t bytes, uint8_t*& copy) {
    copy = nullptr;
    if (!source)
        return true;
    copy = allocBuffer(bytes);
    if (!copy)
        return false;
    if (bytes > 0)
        std::memcpy(copy, source, bytes);
    return true;
}

// The size of each buffer follows from the Image's fields, as the readers make them.
size_t pixelBufferBytes(const Image& image) {
    if (image.width <= 0 || image.height <= 0 || image.bitsPerPixel <= 0)
        return 0;
    return size_t(image.width) * size_t(image.height) * size_t(image.bitsPerPixel / 8);
}

constexpr size_t paletteBytes = 768;

bool copyImage(const Image& source, Image& copy) {
    copy = source;
    copy.pixels = copy.palette = copy.fileData = nullptr;
    if (copyBuffer(source.pixels, pixelBufferBytes(source), copy.pixels) &&
        copyBuffer(source.palette, paletteBytes, copy.palette) &&
        copyBuffer(source.fileData, source.fileSize, copy.fileData))
        return true;
    releaseImage(copy);
    return false;
}

} // namespace

bool copyPicture(const scene::Polygon& source, scene::Polygon& copy) {
    // Until the copies exist the copy must not own what the source owns.
    copy.image.pixels = copy.image.palette = copy.image.fileData = nullptr;
    copy.texture = 0;
    if (!copyImage(source.image, copy.image))
        return false;
    if (copyTexture(source.texture, copy.texture))
        return true;
    releaseImage(copy.image);
    return false;
}
