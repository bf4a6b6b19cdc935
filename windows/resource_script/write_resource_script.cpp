// Writes the Windows build's resource script from the program's resource tables (resources/),
// so that both builds carry the one definition: quillfen.rc with the menu, accelerators,
// dialogs and strings, and beside it the icon (.ico) and the About banner (.bmp) it names.
//
//     write_resource_script <output folder>
//
// Built and run on the build machine, over the layer's declarations of the tables.
#include "platform/resource_data.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

// Little-endian byte writer for the .ico and .bmp files.
struct Bytes {
    std::vector<uint8_t> data;
    void u8(unsigned v) { data.push_back(uint8_t(v)); }
    void u16(unsigned v) {
        u8(v & 0xFF);
        u8(v >> 8);
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
};

void bitmapInfoHeader(Bytes& out, int width, int height, int bitCount, uint32_t imageSize) {
    out.u32(40);
    out.u32(uint32_t(width));
    out.u32(uint32_t(height));
    out.u16(1); // planes
    out.u16(unsigned(bitCount));
    out.u32(0); // BI_RGB
    out.u32(imageSize);
    out.u32(2835); // 72 dpi
    out.u32(2835);
    out.u32(0);
    out.u32(0);
}

// One icon image as stored in an .ico: a 32-bit bottom-up bitmap of twice the height, then the
// transparency mask (all opaque).
std::vector<uint8_t> iconImage(const BitmapResource& image) {
    int maskStride = ((image.width + 31) / 32) * 4;
    Bytes out;
    bitmapInfoHeader(out, image.width, image.height * 2, 32,
                     uint32_t(image.width * image.height * 4 + maskStride * image.height));
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* pixel = &image.rgb[(y * image.width + x) * 3];
            out.u8(pixel[2]);
            out.u8(pixel[1]);
            out.u8(pixel[0]);
            out.u8(0xFF);
        }
    }
    out.data.insert(out.data.end(), size_t(maskStride * image.height), 0);
    return out.data;
}

std::vector<uint8_t> iconFile(const IconResource& icon) {
    Bytes out;
    out.u16(0);
    out.u16(1); // icon
    out.u16(unsigned(icon.images.size()));
    std::vector<std::vector<uint8_t>> images;
    for (const BitmapResource& image : icon.images)
        images.push_back(iconImage(image));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const BitmapResource& image = icon.images[i];
        out.u8(image.width >= 256 ? 0 : unsigned(image.width));
        out.u8(image.height >= 256 ? 0 : unsigned(image.height));
        out.u8(0); // no palette
        out.u8(0);
        out.u16(1);  // planes
        out.u16(32); // bits per pixel
        out.u32(uint32_t(images[i].size()));
        out.u32(offset);
        offset += uint32_t(images[i].size());
    }
    for (const std::vector<uint8_t>& image : images)
        out.data.insert(out.data.end(), image.begin(), image.end());
    return out.data;
}

// A 24-bit bottom-up .bmp file.
std::vector<uint8_t> bitmapFile(const BitmapResource& bitmap) {
    int stride = (bitmap.width * 3 + 3) / 4 * 4;
    uint32_t imageSize = uint32_t(stride * bitmap.height);
    Bytes out;
    out.u8('B');
    out.u8('M');
    out.u32(14 + 40 + imageSize);
    out.u32(0);
    out.u32(14 + 40);
    bitmapInfoHeader(out, bitmap.width, bitmap.height, 24, imageSize);
    for (int y = bitmap.height - 1; y >= 0; --y) {
        for (int x = 0; x < bitmap.width; ++x) {
            const uint8_t* pixel = &bitmap.rgb[(y * bitmap.width + x) * 3];
            out.u8(pixel[2]);
            out.u8(pixel[1]);
            out.u8(pixel[0]);
        }
        for (int pad = bitmap.width * 3; pad < stride; ++pad)
            out.u8(0);
    }
    return out.data;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

// A string literal of the resource compiler: C escapes, and a doubled quote for a quote.
std::string quoted(const char* text) {
    std::string out = "\"";
    for (const char* c = text; *c; ++c) {
        switch (*c) {
        case '"': out += "\"\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default: out += *c;
        }
    }
    return out + "\"";
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", unsigned(value));
    return text;
}

void writeMenu(std::ostream& rc, const MenuResource& menu) {
    rc << menu.id << " MENU\nBEGIN\n";
    int depth = 0;
    for (size_t i = 0; i < menu.items.size(); ++i) {
        const MenuItemResource& item = menu.items[i];
        for (; depth > item.depth; --depth)
            rc << std::string(size_t(depth) * 4, ' ') << "END\n";
        std::string indent(size_t(item.depth + 1) * 4, ' ');
        bool isPopup = i + 1 < menu.items.size() && menu.items[i + 1].depth > item.depth;
        if (!item.text) {
            rc << indent << "MENUITEM SEPARATOR\n";
            continue;
        }
        rc << indent << (isPopup ? "POPUP " : "MENUITEM ") << quoted(item.text);
        if (!isPopup)
            rc << ", " << item.id;
        if (item.flags & MF_CHECKED)
            rc << ", CHECKED";
        if (item.flags & MF_GRAYED)
            rc << ", GRAYED";
        rc << "\n";
        if (isPopup) {
            rc << indent << "BEGIN\n";
            depth = item.depth + 1;
        }
    }
    for (; depth > 0; --depth)
        rc << std::string(size_t(depth) * 4, ' ') << "END\n";
    rc << "END\n\n";
}

void writeAccelerators(std::ostream& rc, const AcceleratorResource& table) {
    rc << table.id << " ACCELERATORS\nBEGIN\n";
    for (const ACCEL& entry : table.entries) {
        rc << "    " << entry.key << ", " << entry.cmd;
        rc << ((entry.fVirt & FVIRTKEY) ? ", VIRTKEY" : ", ASCII");
        if (entry.fVirt & FNOINVERT)
            rc << ", NOINVERT";
        if (entry.fVirt & FSHIFT)
            rc << ", SHIFT";
        if (entry.fVirt & FCONTROL)
            rc << ", CONTROL";
        if (entry.fVirt & FALT)
            rc << ", ALT";
        rc << "\n";
    }
    rc << "END\n\n";
}

void writeDialog(std::ostream& rc, const DialogResource& dialog) {
    rc << dialog.id << " DIALOGEX " << dialog.x << ", " << dialog.y << ", " << dialog.cx << ", "
       << dialog.cy << "\n";
    rc << "STYLE " << hex(dialog.style) << "\n";
    if (dialog.exStyle)
        rc << "EXSTYLE " << hex(dialog.exStyle) << "\n";
    rc << "CAPTION " << quoted(dialog.caption) << "\n";
    if (dialog.fontName)
        rc << "FONT " << dialog.pointSize << ", " << quoted(dialog.fontName) << "\n";
    rc << "BEGIN\n";
    for (const DialogItemResource& item : dialog.items) {
        // A picture static names its bitmap by number.
        std::string text = IS_INTRESOURCE(item.text)
                               ? std::to_string(unsigned(ULONG_PTR(item.text)))
                               : quoted(item.text ? item.text : "");
        rc << "    CONTROL " << text << ", " << item.id << ", " << quoted(item.className) << ", "
           << hex(item.style | WS_CHILD) << ", " << item.x << ", " << item.y << ", " << item.cx
           << ", " << item.cy << ", " << hex(item.exStyle) << "\n";
    }
    rc << "END\n\n";
}

void writeStrings(std::ostream& rc, std::span<const StringResource> strings) {
    if (strings.empty())
        return;
    rc << "STRINGTABLE\nBEGIN\n";
    for (const StringResource& entry : strings)
        rc << "    " << entry.id << ", " << quoted(entry.text) << "\n";
    rc << "END\n\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: write_resource_script <output folder>\n";
        return 2;
    }
    const std::string folder = argv[1];
    const ResourceTable& table = programResources;

    std::ofstream rc(folder + "/quillfen.rc");
    rc << "// Written by write_resource_script from the tables in resources/; do not edit.\n";
    rc << "#pragma code_page(65001)\n\n";
    for (const IconResource& icon : table.icons) {
        std::string name = "icon" + std::to_string(icon.id) + ".ico";
        if (!writeFile(folder + "/" + name, iconFile(icon)))
            return 1;
        rc << icon.id << " ICON " << quoted((folder + "/" + name).c_str()) << "\n";
    }
    for (const BitmapResource& bitmap : table.bitmaps) {
        std::string name = "bitmap" + std::to_string(bitmap.id) + ".bmp";
        if (!writeFile(folder + "/" + name, bitmapFile(bitmap)))
            return 1;
        rc << bitmap.id << " BITMAP " << quoted((folder + "/" + name).c_str()) << "\n";
    }
    rc << "\n";
    for (const MenuResource& menu : table.menus)
        writeMenu(rc, menu);
    for (const AcceleratorResource& accelerators : table.accelerators)
        writeAccelerators(rc, accelerators);
    for (const DialogResource& dialog : table.dialogs)
        writeDialog(rc, dialog);
    writeStrings(rc, table.strings);
    rc.close();
    return rc ? 0 : 1;
}
