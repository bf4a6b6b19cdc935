// Reading a file whole and handing it to the reader for its extension.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "texture/image.h"
#include "texture/image_reader.h"

namespace {

// The last "." of the path, the first character included, or null.
const char* findExtension(const char* path) {
    const char* p = path + std::strlen(path);
    for (;;) {
        if (*p == '.')
            return p;
        if (p == path)
            return nullptr;
        --p;
    }
}

// Fills fileData/fileSize with the whole file.
ImageStatus readWholeFile(Image& image, const char* path) {
    std::error_code error;
    // A directory opens as a stream on Linux and reports a nonsense length.
    if (!std::filesystem::is_regular_file(path, error))
        return ImageNoData;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return ImageNoData;
    file.seekg(0, std::ios::end);
    const std::streamoff length = file.tellg();
    file.seekg(0, std::ios::beg);
    if (length < 0 || !file)
        return ImageNoData;
    if (static_cast<uint64_t>(length) > UINT32_MAX)
        return ImageUnsupported;
    image.fileSize = static_cast<uint32_t>(length);
    if (makeBuffer(image.fileData, length) != ImageOk)
        return ImageOutOfMemory;
    file.read(reinterpret_cast<char*>(image.fileData), length);
    if (file.gcount() != length) {
        // Never decode a buffer the file only partly filled.
        releaseBuffer(image.fileData);
        return ImageNoData;
    }
    return ImageOk;
}

} // namespace

ImageStatus load(Image& image, const char* path) {
    releaseImage(image);
    if (!path)
        return ImageNoData;
    ImageStatus status = readWholeFile(image, path);
    if (status != ImageOk)
        return status;

    const char* extension = findExtension(path);
    if (!extension)
        return ImageUnsupported;
    if (equalsIgnoreCase(extension, ".bmp"))
        return readBmp(image);
    if (equalsIgnoreCase(extension, ".pcx"))
        return readPcx(image);
    if (equalsIgnoreCase(extension, ".tga")) {
        status = readTga(image);
        releaseBuffer(image.fileData);
        return status;
    }
    if (equalsIgnoreCase(extension, ".qfr"))
        return readQfr(image);
    return ImageUnsupported;
}

bool equalsIgnoreCase(const char* a, const char* b) {
    // Folds every code above 96 (as a signed byte), so "{|}~" and DEL match "[\]^_" too;
    // codes of 128 and above stay as they are.
    auto fold = [](char c) {
        const int8_t code = static_cast<int8_t>(c);
        return code > 96 ? static_cast<int8_t>(code - 32) : code;
    };
    for (;; ++a, ++b) {
        if (fold(*a) != fold(*b))
            return false;
        if (*a == '\0')
            return true;
    }
}
