// The program's own raw format: width, height (signed 16-bit), bits per pixel (signed 8-bit),
// then the pixels exactly as the Image holds them.
#include "texture/image.h"
#include "texture/image_reader.h"

namespace {
constexpr int64_t kHeaderSize = 5;
}

ImageStatus readQfr(Image& image) {
    if (!image.fileData)
        return ImageNoData;
    if (image.fileSize < kHeaderSize)
        return ImageBadFile;
    ImageCursor c = cursorAt(image, 0);
    image.width = static_cast<int16_t>(get16le(c));
    image.height = static_cast<int16_t>(get16le(c));
    image.bitsPerPixel = static_cast<int8_t>(get8(c));
    const int64_t bytes = pixelBytes(image.width, image.height, image.bitsPerPixel / 8);
    image.pixelDataSize = static_cast<uint32_t>(bytes);
    // Negative sizes could multiply out to a length the file happens to have.
    if (image.width < 0 || image.height < 0 || image.bitsPerPixel < 0)
        return ImageBadFile;
    if (!fitsPixelBuffer(bytes))
        return ImageUnsupported;
    if (bytes + kHeaderSize != image.fileSize)
        return ImageBadFile;
    ImageStatus status = makeBuffer(image.pixels, bytes);
    if (status != ImageOk)
        return status;
    getBytes(c, image.pixels, static_cast<size_t>(bytes));
    return ImageOk;
}
