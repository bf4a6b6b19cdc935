#include "tests/systems/soak/scene_model.h"

#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>
#include <cmath>
#include <cstdio>
#include <set>

#include "app/shell.h"
#include "panel/panel.h"
#include "platform/headless/headless.h"
#include "render/render_frame.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/systems/soak/link_watch.h"
#include "tests/systems/soak/session_helpers.h"

using scene::Polygon;

namespace soak {

namespace {

bool sameFields(const Image& a, const Image& b) {
    return a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
           a.variant == b.variant && a.planes == b.planes && a.fileSize == b.fileSize &&
           a.pixelDataSize == b.pixelDataSize && a.pixelOffset == b.pixelOffset &&
           a.bytesPerLine == b.bytesPerLine;
}

std::string describe(const Image& image) {
    return format("%d x %d %d bit, variant %d, planes %d, file %u, data %u, offset %d, line %d",
                  image.width, image.height, image.bitsPerPixel, image.variant, image.planes,
                  image.fileSize, image.pixelDataSize, image.pixelOffset, image.bytesPerLine);
}

std::string checkImage(const Polygon& polygon, const SharedSnapshot& expected) {
    const Image& image = polygon.image;
    if (!expected) {
        bool empty = image.width == 0 && image.height == 0 && image.bitsPerPixel == 0 &&
                     image.variant == 0 && image.fileSize == 0 && image.pixelDataSize == 0 &&
                     !image.pixels && !image.palette && !image.fileData;
        return empty ? "" : "its image should be empty: " + describe(image);
    }
    if (!sameFields(image, expected->fields))
        return "its image is " + describe(image) + ", not " + describe(expected->fields);
    ImageSnapshot actual = snapshotOf(image);
    if (actual.hasPixels != expected->hasPixels || actual.hasPalette != expected->hasPalette ||
        actual.hasFileData != expected->hasFileData)
        return format("its image holds pixels/palette/file %d%d%d, not %d%d%d", actual.hasPixels,
                      actual.hasPalette, actual.hasFileData, expected->hasPixels,
                      expected->hasPalette, expected->hasFileData);
    if (actual.pixels != expected->pixels)
        return "its image's pixels are not the picture loaded into it";
    if (actual.palette != expected->palette)
        return "its image's colour table is not the one loaded";
    if (actual.fileData != expected->fileData)
        return "its image's file bytes are not the file loaded";
    return "";
}

// The level-0 picture of a texture as RGBA, with its filters; the binding is put back.
struct TextureContent {
    GLint width = 0, height = 0, minFilter = 0, magFilter = 0;
    std::vector<uint8_t> rgba;
};

TextureContent readTexture(uint32_t name) {
    TextureContent content;
    GLint previous = 0, alignment = 4;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &content.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &content.height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &content.minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &content.magFilter);
    if (content.width > 0 && content.height > 0) {
        content.rgba.resize(size_t(content.width) * size_t(content.height) * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, content.rgba.data());
        glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    }
    glBindTexture(GL_TEXTURE_2D, GLuint(previous));
    return content;
}

std::vector<uint8_t> rgbaOf(const ImageSnapshot& picture) {
    const size_t size = picture.fields.bitsPerPixel / 8;
    const size_t count = size_t(picture.fields.width) * size_t(picture.fields.height);
    std::vector<uint8_t> rgba(count * 4, 255);
    for (size_t i = 0; i < count && (i + 1) * size <= picture.pixels.size(); ++i)
        for (size_t c = 0; c < size; ++c)
            rgba[i * 4 + c] = picture.pixels[i * size + c];
    return rgba;
}

std::string checkTexture(const Polygon& polygon, const PolygonExpectation& expected) {
    const uint32_t name = polygon.texture;
    if (expected.texture == TextureHolds::Nothing)
        return name == 0 ? "" : format("it holds texture %u where it should have none", name);
    if (name == 0)
        return "it has no texture where it should have one";
    if (!watch::liveTextures().count(name) || !glIsTexture(name))
        return format("it holds texture %u, which is not a live texture", name);
    TextureContent content = readTexture(name);
    if (expected.texture == TextureHolds::NoPicture)
        return content.width == 0 ? ""
                                  : format("its texture %u holds a %d x %d picture where it "
                                           "should hold none",
                                           name, content.width, content.height);
    const ImageSnapshot& picture = *expected.texturePicture;
    if (content.width != picture.fields.width || content.height != picture.fields.height)
        return format("its texture %u holds %d x %d, not the %d x %d picture made into it", name,
                      content.width, content.height, picture.fields.width, picture.fields.height);
    if (content.rgba != rgbaOf(picture))
        return format("its texture %u does not hold the picture made into it", name);
    if (content.minFilter != expected.minFilter || content.magFilter != expected.magFilter)
        return format("its texture %u filters with %#x / %#x, not %#x / %#x", name,
                      content.minFilter, content.magFilter, expected.minFilter, expected.magFilter);
    return "";
}

} // namespace

std::vector<const Polygon*> walkList(std::string& problem) {
    std::vector<const Polygon*> list;
    // More links than live records means a cycle or a record that is no longer live.
    const size_t limit = watch::livePolygons().size();
    for (const Polygon* polygon = polygonListHead; polygon; polygon = polygon->next) {
        if (list.size() == limit) {
            problem = format("the polygon list has more than the %zu live records", limit);
            return {};
        }
        list.push_back(polygon);
    }
    return list;
}

std::string checkListBox(const std::vector<const Polygon*>& list) {
    std::vector<std::string> entries = headless::items(polygonListBox);
    if (entries.size() != list.size())
        return format("\"PolyList\" has %zu entries for %zu polygons", entries.size(), list.size());
    for (size_t i = 0; i < list.size(); ++i)
        if (entries[i] != list[i]->name)
            return format("\"PolyList\" entry %zu is '%s', its polygon is '%s'", i,
                          entries[i].c_str(), list[i]->name);
    int selected = headless::selection(polygonListBox);
    if (list.empty()) {
        if (currentPolygon)
            return "a polygon is current while the list is empty";
        return selected == -1 ? "" : format("entry %d is selected in an empty list", selected);
    }
    int current = indexOf(list, currentPolygon);
    if (current < 0)
        return "the current polygon is not in the list";
    if (selected != current)
        return format("\"PolyList\" selects entry %d, the current polygon is entry %d", selected,
                      current);
    return "";
}

std::string checkPolygon(const Polygon& polygon, const PolygonExpectation& expected) {
    std::string problem = checkImage(polygon, expected.image);
    if (problem.empty())
        problem = checkTexture(polygon, expected);
    if (problem.empty() && expected.textureFile != polygon.textureFile)
        problem = format("its texture file is '%s', not '%s'", polygon.textureFile,
                         expected.textureFile.c_str());
    if (problem.empty() && (polygon.minFilterIndex != expected.minFilterIndex ||
                            polygon.magFilterIndex != expected.magFilterIndex))
        problem = format("its filter choices are %d / %d, not %d / %d", polygon.minFilterIndex,
                         polygon.magFilterIndex, expected.minFilterIndex, expected.magFilterIndex);
    return problem.empty() ? "" : format("polygon '%s': ", polygon.name) + problem;
}

std::string checkOwnership(const std::vector<const Polygon*>& list) {
    std::map<const uint8_t*, const Polygon*> blockOwners;
    std::map<uint32_t, const Polygon*> textureOwners;
    const auto& blocks = watch::liveBlocks();
    for (const Polygon* polygon : list) {
        const Image& image = polygon->image;
        const struct {
            const uint8_t* buffer;
            size_t reads;
            const char* what;
        } buffers[] = {{image.pixels, pixelBytesOf(image), "pixel buffer"},
                       {image.palette, paletteBytes, "colour table"},
                       {image.fileData, image.fileSize, "file buffer"}};
        for (const auto& held : buffers) {
            if (!held.buffer)
                continue;
            auto block = blocks.find(held.buffer);
            if (block == blocks.end())
                return format("polygon '%s' holds a %s that is not a live block", polygon->name,
                              held.what);
            if (block->second < held.reads)
                return format("polygon '%s' holds a %s of %zu bytes; its fields say %zu",
                              polygon->name, held.what, block->second, held.reads);
            auto [owner, added] = blockOwners.emplace(held.buffer, polygon);
            if (!added)
                return format("polygons '%s' and '%s' hold the same %s", owner->second->name,
                              polygon->name, held.what);
        }
        if (polygon->texture != 0) {
            if (!watch::liveTextures().count(polygon->texture))
                return format("polygon '%s' holds texture %u, which was deleted", polygon->name,
                              polygon->texture);
            auto [owner, added] = textureOwners.emplace(polygon->texture, polygon);
            if (!added)
                return format("polygons '%s' and '%s' hold the same texture %u",
                              owner->second->name, polygon->name, polygon->texture);
        }
    }
    if (blocks.size() != blockOwners.size())
        return format("%zu image buffers are live and no polygon holds them",
                      blocks.size() - blockOwners.size());
    if (watch::liveTextures().size() != textureOwners.size())
        return format("%zu texture objects are live and no polygon holds them",
                      watch::liveTextures().size() - textureOwners.size());
    if (watch::livePolygons().size() != list.size())
        return format("%zu Polygon records are live, %zu are in the list",
                      watch::livePolygons().size(), list.size());
    for (const Polygon* polygon : list)
        if (!watch::livePolygons().count(polygon))
            return "the list links a Polygon record that is not live";
    return "";
}

namespace {

std::string checkCombo(HWND combo, const char* name, int32_t index, uint32_t value) {
    int selected = headless::selection(combo);
    if (selected != index)
        return format("\"%s\" selects %d, the polygon holds %d", name, selected, index);
    std::vector<LPARAM> data = headless::itemData(combo);
    if (index >= 0 && size_t(index) < data.size() && uint32_t(data[size_t(index)]) != value)
        return format("\"%s\" entry %d carries %#x, the polygon holds %#x", name, index,
                      unsigned(data[size_t(index)]), value);
    return "";
}

// The hundredths a fraction was stored from: the panel shows them truncated, one below
// where float rounding lands under the whole number.
bool showsFraction(HWND slider, float fraction) {
    int shown = headless::trackbar(slider).pos;
    int truncated = int(double(fraction) * 100.0);
    return shown == truncated || shown == truncated + 1;
}

std::string checkPanel(const Polygon& polygon) {
    const struct {
        HWND slider;
        const char* name;
        int value;
    } sliders[] = {{redSlider, "Red Slider", polygon.red},
                   {greenSlider, "Green Slider", polygon.green},
                   {blueSlider, "Blue Slider", polygon.blue},
                   {sizeSlider, "Size Slider", polygon.size}};
    for (const auto& s : sliders)
        if (headless::trackbar(s.slider).pos != s.value)
            return format("\"%s\" stands at %d, the polygon holds %d", s.name,
                          headless::trackbar(s.slider).pos, s.value);
    if (!showsFraction(alphaSlider, polygon.alpha))
        return format("\"Alpha Slider\" stands at %d, the polygon holds %.4f",
                      headless::trackbar(alphaSlider).pos, double(polygon.alpha));
    if (!showsFraction(alphaTestSlider, polygon.alphaRef))
        return format("\"AlphaTest Slider\" stands at %d, the polygon holds %.4f",
                      headless::trackbar(alphaTestSlider).pos, double(polygon.alphaRef));
    if (headless::checkState(blendCheckBox) != polygon.blendEnabled)
        return "\"Enable GL_BLEND\" does not show the polygon's blending";
    if (headless::checkState(alphaTestCheckBox) != polygon.alphaTestEnabled)
        return "\"Enable GL_ALPHA_TEST\" does not show the polygon's alpha test";
    std::string problem =
        checkCombo(texEnvCombo, "glTexEnv", polygon.texEnvIndex, polygon.texEnvMode);
    if (problem.empty())
        problem = checkCombo(blendSrcCombo, "glBlend1", polygon.blendSrcIndex, polygon.blendSrc);
    if (problem.empty())
        problem = checkCombo(blendDstCombo, "glBlend2", polygon.blendDstIndex, polygon.blendDst);
    if (problem.empty())
        problem = checkCombo(alphaFuncCombo, "glAlpha1", polygon.alphaFuncIndex, polygon.alphaFunc);
    return problem;
}

bool marked(int id) {
    return headless::menuItemChecked(mainWindow, UINT(id));
}

} // namespace

std::string checkMainWindow() {
    if (currentPolygon) {
        std::string problem = checkPanel(*currentPolygon);
        if (!problem.empty())
            return "the panel: " + problem;
    }
    COLORREF swatch = currentPolygon ? RGB(currentPolygon->red & 0xFF, currentPolygon->green & 0xFF,
                                           currentPolygon->blue & 0xFF)
                                     : RGB(0, 0, 0);
    if (!headless::hasFill(colourSwatch) || headless::fillColour(colourSwatch) != swatch)
        return format("\"ColFrame\" shows %06x, not %06x",
                      unsigned(headless::fillColour(colourSwatch)), unsigned(swatch));
    if (marked(idOrthographic) != orthographic || marked(idPerspective) == orthographic ||
        marked(idTextureMappingOn) != textureMapping ||
        marked(idTextureMappingOff) == textureMapping || marked(idLightingOn) != lighting ||
        marked(idLightingOff) == lighting || marked(idColorMaterial) != colorMaterial)
        return format("the Options menu marks do not show the options (2D %d, texture %d, "
                      "lighting %d, colour material %d)",
                      orthographic, textureMapping, lighting, colorMaterial);
    HWND focus = headless::focusWindow();
    for (HWND field :
         {redField, greenField, blueField, alphaField, sizeField, alphaRefField, textureFileField})
        if (focus && focus == field)
            return "a value field keeps the focus";
    if (std::trunc(viewAngleX) != viewAngleX || std::trunc(viewAngleY) != viewAngleY)
        return format("the view angles %g, %g are not whole degrees", double(viewAngleY),
                      double(viewAngleX));
    return "";
}

TextureHolds uploadOf(const ImageSnapshot& picture) {
    static GLint largest = [] {
        GLint size = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
        return size;
    }();
    const Image& image = picture.fields;
    bool uploads = picture.hasPixels && (image.bitsPerPixel == 24 || image.bitsPerPixel == 32) &&
                   image.width > 0 && image.height > 0 && image.width <= largest &&
                   image.height <= largest;
    return uploads ? TextureHolds::Picture : TextureHolds::NoPicture;
}

int filterOf(int index, bool minifying) {
    switch (index) {
    case 0: return GL_NEAREST;
    case 1: return GL_LINEAR;
    }
    return minifying ? GL_NEAREST_MIPMAP_LINEAR : GL_LINEAR; // GL keeps its default
}

} // namespace soak
