#include "platform/fltk/fltk_images.h"

#include "platform/layer.h"
#include "platform/resource_data.h"

#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <memory>
#include <string>
#include <vector>

namespace {

// The layer names a module's icon "icon:<table>:<id>" when LoadIconA makes its handle.
const IconResource* iconResourceOf(HICON icon) {
    for (const auto& [key, handle] : layer::state().sharedHandles) {
        if (handle != icon || key.rfind("icon:", 0) != 0)
            continue;
        const size_t colon = key.find(':', 5);
        if (colon == std::string::npos)
            return nullptr;
        const auto* table =
            reinterpret_cast<const ResourceTable*>(std::stoull(key.substr(5, colon - 5)));
        const int id = std::stoi(key.substr(colon + 1));
        for (const IconResource& resource : table->icons)
            if (resource.id == id)
                return &resource;
    }
    return nullptr;
}

} // namespace

void setWindowIcon(Fl_Window* window, HICON icon) {
    const IconResource* resource = icon ? iconResourceOf(icon) : nullptr;
    if (!resource)
        return;
    std::vector<std::unique_ptr<Fl_RGB_Image>> images;
    std::vector<const Fl_RGB_Image*> pointers;
    for (const BitmapResource& image : resource->images) {
        if (!image.rgb || image.width <= 0 || image.height <= 0)
            continue;
        images.push_back(std::make_unique<Fl_RGB_Image>(image.rgb, image.width, image.height, 3));
        pointers.push_back(images.back().get());
    }
    if (!pointers.empty())
        window->icons(pointers.data(), int(pointers.size())); // FLTK copies them
}

void drawStaticBitmap(HWND window, int x, int y, int w, int h) {
    const layer::Window* w0 = layer::windowOf(window);
    if (!w0 || !w0->bitmapId)
        return;
    const BitmapResource* bitmap = layer::findBitmap(w0->instance, MAKEINTRESOURCEA(w0->bitmapId));
    if (!bitmap || !bitmap->rgb)
        return;
    Fl_RGB_Image image(bitmap->rgb, bitmap->width, bitmap->height, 3);
    fl_push_clip(x, y, w, h);
    image.draw(x, y);
    fl_pop_clip();
}
