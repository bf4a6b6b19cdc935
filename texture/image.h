// The Image record, its status codes and the operations that fill it from a file.
//
// Pixel contract after a load that returns ImageOk: `height` rows of `width` pixels, top row
// first, each row left to right, no gap between rows; a pixel is bitsPerPixel / 8 bytes.
// 24-bit pixels are red, green, blue; 32-bit pixels red, green, blue, fourth byte (alpha).
// 8-bit pixels are indices into `palette` when the reader made one. QFR pixels stay as stored.
// `palette`, when present, is 768 bytes: 256 entries of red, green, blue.
#pragma once

#include <cstdint>

enum ImageStatus : int {
    ImageOk = 1,
    ImageNoData = 2,
    ImageOutOfMemory = 4,
    ImageBadFile = 8,
    ImageUnsupported = 64
};

const char* imageStatusName(ImageStatus status);

// Zero-initialised Image{} is the empty Image. Every buffer is made with allocBuffer and
// freed with freeBuffer (texture/image_buffer.h).
struct Image {
    int16_t width;          // pixels
    int16_t height;         // pixel rows
    int8_t bitsPerPixel;    // of `pixels`
    int8_t variant;         // BMP compression, PCX encoding, TGA image type
    int8_t planes;          // PCX colour planes; BMP planes field (unused)
    uint32_t fileSize;      // length of fileData
    uint32_t pixelDataSize; // width * height * (bitsPerPixel / 8), as BMP/TGA/QFR compute it
    int32_t pixelOffset;    // BMP: offset of the pixel array in the file
    uint8_t* pixels;        // decoded pixels, or null
    uint8_t* palette;       // 768 bytes of RGB, or null
    uint8_t* fileData;      // the whole file, or null
    int16_t bytesPerLine;   // PCX: bytes of one plane in one encoded scan line
};

// Sizes to zero; releases pixels, palette and fileData.
void reset(Image& image);
// Releases each present buffer (used when the owner of the Image dies).
void releaseImage(Image& image);

// Reads the file whole into fileData and runs the reader for its extension.
ImageStatus load(Image& image, const char* path);

bool equalsIgnoreCase(const char* a, const char* b);
// Exchanges the first and third byte of every pixel of three or more bytes.
void swapRedBlue(Image& image);
// Reverses the order of the pixel rows.
void flipRows(Image& image);

// Readers: each expects fileData/fileSize to hold the file.
ImageStatus readBmp(Image& image);
ImageStatus readPcx(Image& image);
ImageStatus readTga(Image& image);
ImageStatus readQfr(Image& image);

// Reader steps; each returns ImageOk or the status that ends its reader.
ImageStatus readBmpHeader(Image& image);
ImageStatus copyBmpPixels(Image& image);
ImageStatus decodeBmpRle8(Image& image);
ImageStatus readBmpPalette(Image& image);

ImageStatus readPcxHeader(Image& image);
ImageStatus decodePcx(Image& image);
ImageStatus readPcxPalette(Image& image);

ImageStatus readTgaHeader(Image& image);
ImageStatus copyTgaPixels(Image& image);
ImageStatus decodeTgaRle(Image& image);
ImageStatus readTgaPalette(Image& image);
