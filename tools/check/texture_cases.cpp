// The texture environment over RGB and RGBA textures, magnified and minified, with each filter.
#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "panel/panel_choices.h"
#include "tools/check/case_building.h"

namespace check {

namespace {

using arithmetic::Colour;

const Image& pictureOf(const Pictures& pictures, Picture picture) {
    return picture == Picture::Rgba ? pictures.rgba : pictures.rgb;
}

Colour texel(const Image& image, int i, int j) {
    const int bytes = image.bitsPerPixel / 8;
    const uint8_t* p = image.pixels + (size_t(j) * size_t(image.width) + size_t(i)) * bytes;
    return arithmetic::fromBytes(p[0], p[1], p[2], bytes == 4 ? p[3] / 255.0 : 1.0);
}

// GL_CLAMP (3.8.1): NEAREST keeps to the edge texels, while LINEAR past the outer texel centres
// weighs in the border colour, the GL's default (0, 0, 0, 0) taken as the texture's format
// takes a colour: an RGB texture's border is opaque.
Colour texelOrBorder(const Image& image, int i, int j) {
    if (i < 0 || j < 0 || i >= image.width || j >= image.height)
        return {0, 0, 0, image.bitsPerPixel == 32 ? 0.0 : 1.0};
    return texel(image, i, j);
}

Colour mix(const Colour& a, const Colour& b, double f) {
    return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f,
            a.a + (b.a - a.a) * f};
}

// 3.8.1: NEAREST takes the texel the coordinates fall in; LINEAR weighs the four around
// u - 1/2, v - 1/2. Row 0 of the picture is t = 0, the top edge of the square in the 2D view.
Colour sample(const Image& image, bool linear, double u, double v) {
    if (!linear)
        return texel(image, std::clamp(int(std::floor(u)), 0, image.width - 1),
                     std::clamp(int(std::floor(v)), 0, image.height - 1));
    const double a = u - 0.5, b = v - 0.5;
    const int i = int(std::floor(a)), j = int(std::floor(b));
    const double fa = a - i, fb = b - j;
    return mix(mix(texelOrBorder(image, i, j), texelOrBorder(image, i + 1, j), fa),
               mix(texelOrBorder(image, i, j + 1), texelOrBorder(image, i + 1, j + 1), fa), fb);
}

bool nearInteger(double value) {
    return std::fabs(value - std::round(value)) < 0.02;
}

struct Geometry {
    int size;          // units; the square sits at the centre
    bool magnified;    // more pixels than texels
    int32_t minFilter; // as the Texture Map dialog set them
    int32_t magFilter;
};

// Magnified (128 units, 256 pixels) and minified (6 units, 12 pixels, 4/3 texel a pixel), each
// with the other filter set differently so that the one in use shows.
const Geometry geometries[] = {{128, true, GL_LINEAR, GL_NEAREST},
                               {128, true, GL_NEAREST, GL_LINEAR},
                               {6, false, GL_LINEAR, GL_NEAREST},
                               {6, false, GL_NEAREST, GL_LINEAR}};

struct FragmentColour {
    Rgb colour;
    float alpha;
};

// Pixels of the square to probe: every one when minified, a grid when magnified.
std::vector<int> probePixels(const Geometry& g) {
    const int first = flatPixel(-g.size / 2.0), last = flatPixel(g.size / 2.0) - 1;
    std::vector<int> pixels;
    const int step = g.magnified ? 13 : 1;
    for (int p = first; p < last; p += step)
        pixels.push_back(p);
    pixels.push_back(last); // both edges, where GL_CLAMP shows
    return pixels;
}

void addTextureCase(std::vector<Case>& cases, const Pictures& pictures, Picture picture,
                    uint32_t env, const Geometry& g, const FragmentColour& fragment, bool blended) {
    Case c;
    c.kind = "texture";
    PolygonState p;
    p.size = g.size;
    p.red = fragment.colour.r, p.green = fragment.colour.g, p.blue = fragment.colour.b;
    p.alpha = fragment.alpha;
    p.texEnv = env;
    p.picture = picture;
    p.minFilter = g.minFilter, p.magFilter = g.magFilter;
    if (blended) { // the environment's alpha shows as the colour's weight
        p.blend = true;
        p.blendSource = GL_SRC_ALPHA;
        p.blendDestination = GL_ZERO;
    }
    c.scene.polygons = {p};
    c.state = describe(c.scene);

    const Image& image = pictureOf(pictures, picture);
    const bool linear = (g.magnified ? g.magFilter : g.minFilter) == GL_LINEAR;
    const bool copiesTexel = env == GL_DECAL && picture == Picture::Rgb;
    int t = copiesTexel ? tolerance::exact : tolerance::oneStage;
    if (blended)
        t = copiesTexel ? tolerance::oneStage : tolerance::twoStages;
    if (linear)
        t += tolerance::linearFilter;
    const double left = -g.size / 2.0;
    for (int py : probePixels(g)) {
        for (int px : probePixels(g)) {
            const double u = (flatUnit(px) - left) / g.size * image.width;
            const double v = (flatUnit(py) - left) / g.size * image.height;
            // At a texel boundary NEAREST may take either side.
            if (!linear && (nearInteger(u) || nearInteger(v)))
                continue;
            Colour drawn = arithmetic::textureEnvironment(env, picture == Picture::Rgba,
                                                          colourOf(p), sample(image, linear, u, v));
            if (blended)
                drawn = arithmetic::blend(GL_SRC_ALPHA, GL_ZERO, drawn, fromRgb(background));
            char where[48];
            std::snprintf(where, sizeof where, "texture at s %.3f, t %.3f", u / image.width,
                          v / image.height);
            c.probes.push_back({px, py, toRgb(drawn), t, where});
        }
    }
    cases.push_back(c);
}

// The same textured polygon drawn with texture mapping off, and a polygon without a texture
// with it on: both plain colour.
void addUntexturedCase(std::vector<Case>& cases, Picture picture, uint32_t env, bool mapping) {
    Case c;
    c.kind = "texture";
    PolygonState p;
    p.size = 128;
    p.red = 200, p.green = 150, p.blue = 100;
    p.texEnv = env;
    p.picture = picture;
    c.scene.polygons = {p};
    c.scene.textureMapping = mapping;
    c.state = describe(c.scene);
    for (int at : {-40, 0, 50})
        c.probes.push_back(
            {flatPixel(at), flatPixel(-at / 2), {200, 150, 100}, tolerance::exact, "untextured"});
    cases.push_back(c);
}

} // namespace

void addTextureCases(std::vector<Case>& cases, const Pictures& pictures) {
    const FragmentColour fragments[] = {{{200, 150, 100}, 0.8f}, {{255, 255, 255}, 0.5f}};
    for (const PanelChoice& env : texEnvChoices) {
        for (Picture picture : {Picture::Rgb, Picture::Rgba}) {
            for (const Geometry& g : geometries)
                for (const FragmentColour& fragment : fragments)
                    for (bool blended : {false, true})
                        addTextureCase(cases, pictures, picture, env.value, g, fragment, blended);
            addUntexturedCase(cases, picture, env.value, false);
        }
        addUntexturedCase(cases, Picture::None, env.value, true);
    }
}

} // namespace check
