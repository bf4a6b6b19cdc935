// Writes the program's icon, every size of its group, as PNG files of the desktop's icon
// theme: <folder>/hicolor/<w>x<h>/apps/quillfen.png.
#include "linux/png_encoder.h"
#include "platform/resource_data.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    if (programResources.icons.empty()) {
        std::fprintf(stderr, "the program has no icon\n");
        return 1;
    }
    std::set<std::string> written;
    for (const BitmapResource& image : programResources.icons.front().images) {
        const std::string size = std::to_string(image.width) + "x" + std::to_string(image.height);
        if (written.count(size))
            continue; // the first picture of each size
        const std::vector<uint8_t> png = encodePng(image.rgb, image.width, image.height);
        if (png.empty())
            continue;
        const std::filesystem::path folder =
            std::filesystem::path(argv[1]) / "hicolor" / size / "apps";
        std::filesystem::create_directories(folder);
        std::ofstream out(folder / "quillfen.png", std::ios::binary);
        out.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", (folder / "quillfen.png").c_str());
            return 1;
        }
        written.insert(size);
    }
    return written.empty() ? 1 : 0;
}
