#include "bench/decoders.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <stb_image.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "bench/floor_loader.h"
#include "texture/image.h"

namespace {

// The picture's pixel (x, y) as the decoded picture of this case holds it: the index for the
// 8-bit cases, else red, green, blue and, for 4 bytes, alpha.
bool pixelMatches(const PictureCase& pictureCase, const uint8_t* pixel, int x, int y) {
    if (pictureCase.bytesPerPixel == 1)
        return pixel[0] == pictureIndex(x, y);
    const Rgba c = pictureColour(x, y);
    return pixel[0] == c.r && pixel[1] == c.g && pixel[2] == c.b &&
           (pictureCase.bytesPerPixel == 3 || pixel[3] == c.a);
}

// Compares `height` rows of `pixelSize`-byte pixels, `pitch` bytes apart. Indexed cases that
// a decoder expands to colour compare the palette's colour instead of the index.
std::string compareRows(const PictureCase& pictureCase, const uint8_t* pixels, int width,
                        int height, int pixelSize, size_t pitch) {
    if (width != kBenchSide || height != kBenchSide)
        return "size " + std::to_string(width) + " x " + std::to_string(height);
    const bool expanded = pictureCase.bytesPerPixel == 1 && pixelSize >= 3;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + y * pitch;
        for (int x = 0; x < width; ++x) {
            const uint8_t* pixel = row + static_cast<size_t>(x) * pixelSize;
            bool same;
            if (expanded) {
                const Rgba c = paletteColour(pictureIndex(x, y));
                same = pixel[0] == c.r && pixel[1] == c.g && pixel[2] == c.b;
            } else {
                same = pixelMatches(pictureCase, pixel, x, y);
            }
            if (!same)
                return "pixel " + std::to_string(x) + ", " + std::to_string(y);
        }
    }
    return "";
}

std::string comparePalette(const uint8_t* palette) {
    if (!palette)
        return "no palette";
    for (int i = 0; i < 256; ++i) {
        const Rgba c = paletteColour(static_cast<uint8_t>(i));
        if (palette[3 * i] != c.r || palette[3 * i + 1] != c.g || palette[3 * i + 2] != c.b)
            return "palette entry " + std::to_string(i);
    }
    return "";
}

struct FreeSurface {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfaceHandle = std::unique_ptr<SDL_Surface, FreeSurface>;

} // namespace

const char* decoderName(Decoder decoder) {
    switch (decoder) {
    case Decoder::Ours: return "ours";
    case Decoder::Floor: return "floor";
    case Decoder::StbImage: return "stb_image";
    case Decoder::SdlImage: return "SDL2_image";
    }
    return "?";
}

bool decodeWith(Decoder decoder, const std::string& path) {
    switch (decoder) {
    case Decoder::Ours: {
        Image image{};
        const ImageStatus status = load(image, path.c_str());
        releaseImage(image);
        return status == ImageOk;
    }
    case Decoder::Floor: return decodeAtFloor(path);
    case Decoder::StbImage: {
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 0);
        stbi_image_free(pixels);
        return pixels != nullptr;
    }
    case Decoder::SdlImage: {
        SurfaceHandle surface(IMG_Load(path.c_str()));
        return surface != nullptr;
    }
    }
    return false;
}

namespace {

std::string checkOurs(const PictureCase& pictureCase, const std::string& path) {
    Image image{};
    const ImageStatus status = load(image, path.c_str());
    std::string result;
    if (status != ImageOk) {
        result = imageStatusName(status);
    } else if (image.bitsPerPixel != pictureCase.bytesPerPixel * 8) {
        result = "bits per pixel " + std::to_string(image.bitsPerPixel);
    } else {
        const int pixelSize = pictureCase.bytesPerPixel;
        result = compareRows(pictureCase, image.pixels, image.width, image.height, pixelSize,
                             static_cast<size_t>(image.width) * pixelSize);
        if (result.empty() && pixelSize == 1)
            result = comparePalette(image.palette);
    }
    releaseImage(image);
    return result;
}

std::string checkStb(const PictureCase& pictureCase, const std::string& path) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 0);
    if (!pixels)
        return stbi_failure_reason();
    std::string result = compareRows(pictureCase, pixels, width, height, channels,
                                     static_cast<size_t>(width) * channels);
    stbi_image_free(pixels);
    return result;
}

std::string checkSdl(const PictureCase& pictureCase, const std::string& path) {
    SurfaceHandle surface(IMG_Load(path.c_str()));
    if (!surface)
        return IMG_GetError();
    // Whatever layout SDL chose, compare its colours in one byte order; alpha is left out.
    SurfaceHandle rgb(SDL_ConvertSurfaceFormat(surface.get(), SDL_PIXELFORMAT_RGB24, 0));
    if (!rgb)
        return SDL_GetError();
    PictureCase asColour = pictureCase;
    if (asColour.bytesPerPixel == 4)
        asColour.bytesPerPixel = 3;
    return compareRows(asColour, static_cast<const uint8_t*>(rgb->pixels), rgb->w, rgb->h, 3,
                       static_cast<size_t>(rgb->pitch));
}

} // namespace

std::string checkWith(Decoder decoder, const PictureCase& pictureCase, const std::string& path) {
    switch (decoder) {
    case Decoder::Ours: return checkOurs(pictureCase, path);
    case Decoder::Floor: return checkFloor(path);
    case Decoder::StbImage: return checkStb(pictureCase, path);
    case Decoder::SdlImage: return checkSdl(pictureCase, path);
    }
    return "?";
}
