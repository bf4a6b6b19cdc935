#include "texture/image.h"

#include "texture/image_buffer.h"
#include "texture/image_reader.h"

const char* imageStatusName(ImageStatus status) {
    switch (status) {
    case ImageOk: return "ImageOk";
    case ImageNoData: return "ImageNoData";
    case ImageOutOfMemory: return "ImageOutOfMemory";
    case ImageBadFile: return "ImageBadFile";
    case ImageUnsupported: return "ImageUnsupported";
    }
    return "ImageUnknown";
}

void releaseBuffer(uint8_t*& field) {
    if (field) {
        freeBuffer(field);
        field = nullptr;
    }
}

ImageStatus makeBuffer(uint8_t*& field, int64_t bytes) {
    releaseBuffer(field);
    if (bytes < 0 || static_cast<uint64_t>(bytes) > SIZE_MAX)
        return ImageOutOfMemory;
    field = allocBuffer(static_cast<size_t>(bytes));
    return field ? ImageOk : ImageOutOfMemory;
}

void reset(Image& image) {
    image.width = 0;
    image.height = 0;
    image.pixelDataSize = 0;
    image.fileSize = 0;
    image.variant = 0;
    image.bitsPerPixel = 0;
    releaseImage(image);
}

void releaseImage(Image& image) {
    releaseBuffer(image.pixels);
    releaseBuffer(image.palette);
    releaseBuffer(image.fileData);
}
