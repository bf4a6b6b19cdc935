// imgdump FILE [OUT]: loads FILE exactly as the program does and prints
// "STATUS WIDTH HEIGHT BPP". With OUT and ImageOk it writes the decoded picture: 24-bit as PPM
// (P6), 32-bit as PAM (P7, RGB_ALPHA, fourth byte as stored), 8-bit with a palette expanded to
// P6, 8-bit without one as PGM (P5); other depths write nothing.
// Exit status: 0 for ImageOk, 1 for any other status, 2 when OUT cannot be written.
#include <cstdio>
#include <vector>

#include "texture/image.h"

namespace {

bool writePicture(const Image& image, const char* outPath) {
    const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    std::vector<uint8_t> body;
    char header[160];
    int headerLength = 0;
    switch (image.bitsPerPixel) {
    case 24:
        headerLength =
            std::snprintf(header, sizeof header, "P6\n%d %d\n255\n", image.width, image.height);
        body.assign(image.pixels, image.pixels + count * 3);
        break;
    case 32:
        headerLength = std::snprintf(header, sizeof header,
                                     "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\n"
                                     "TUPLTYPE RGB_ALPHA\nENDHDR\n",
                                     image.width, image.height);
        body.assign(image.pixels, image.pixels + count * 4);
        break;
    case 8:
        if (image.palette) {
            headerLength =
                std::snprintf(header, sizeof header, "P6\n%d %d\n255\n", image.width, image.height);
            body.reserve(count * 3);
            for (size_t i = 0; i < count; ++i) {
                const uint8_t* entry = image.palette + 3 * image.pixels[i];
                body.insert(body.end(), entry, entry + 3);
            }
        } else {
            headerLength =
                std::snprintf(header, sizeof header, "P5\n%d %d\n255\n", image.width, image.height);
            body.assign(image.pixels, image.pixels + count);
        }
        break;
    default: return true; // nothing to write for other depths
    }
    std::FILE* out = std::fopen(outPath, "wb");
    if (!out)
        return false;
    bool written = std::fwrite(header, 1, headerLength, out) == static_cast<size_t>(headerLength) &&
                   std::fwrite(body.data(), 1, body.size(), out) == body.size();
    return std::fclose(out) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: imgdump FILE [OUT]\n");
        return 2;
    }
    Image image{};
    const ImageStatus status = load(image, argv[1]);
    std::printf("%s %d %d %d\n", imageStatusName(status), image.width, image.height,
                image.bitsPerPixel);
    int exitCode = status == ImageOk ? 0 : 1;
    if (argc == 3 && status == ImageOk && !writePicture(image, argv[2])) {
        std::fprintf(stderr, "imgdump: cannot write %s\n", argv[2]);
        exitCode = 2;
    }
    releaseImage(image);
    return exitCode;
}
