#include "tools/check/check_cases.h"

#include <cmath>
#include <cstdio>

#include "panel/panel_choices.h"
#include "tools/check/case_building.h"

namespace check {

namespace {

std::string choiceText(std::span<const PanelChoice> choices, uint32_t value) {
    for (const PanelChoice& choice : choices)
        if (choice.value == value)
            return choice.text;
    return "?";
}

std::string filterText(int32_t filter) {
    return filter == 0x2601 ? "GL_LINEAR" : "GL_NEAREST";
}

std::string describePolygon(const PolygonState& p, bool textureMapping) {
    char text[160];
    std::snprintf(text, sizeof text, "Red %d Green %d Blue %d Alpha %.2f Size %d at %d, %d", p.red,
                  p.green, p.blue, double(p.alpha), p.size, p.x, p.y);
    std::string out = text;
    if (p.blend)
        out += ", Enable GL_BLEND " + choiceText(blendSourceChoices, p.blendSource) + " " +
               choiceText(blendDestinationChoices, p.blendDestination);
    if (p.alphaTest) {
        std::snprintf(text, sizeof text, " %.2f", double(p.alphaRef));
        out += ", Enable GL_ALPHA_TEST " + choiceText(alphaFuncChoices, p.alphaFunc) + text;
    }
    if (p.picture != Picture::None) {
        out += p.picture == Picture::Rgb ? ", texture RGB 16 x 16" : ", texture RGBA 16 x 16";
        out += " Min Filter " + filterText(p.minFilter) + " Mag Filter " + filterText(p.magFilter);
    }
    if (p.picture != Picture::None || textureMapping)
        out += ", glTexEnv " + choiceText(texEnvChoices, p.texEnv);
    return out;
}

} // namespace

std::string describe(const SceneState& scene) {
    std::string out = scene.orthographic ? "Orthographic (2D)" : "Perspective (3D)";
    if (!scene.orthographic) {
        char turn[64];
        std::snprintf(turn, sizeof turn, " turned %g, %g", double(scene.angleY),
                      double(scene.angleX));
        out += turn;
    }
    out += scene.lighting ? "; Lighting Enabled" : "; Lighting Disabled";
    if (scene.colorMaterial)
        out += ", GL_COLOR_MATERIAL";
    out += scene.textureMapping ? "; Texture Mapping Enabled" : "; Texture Mapping Disabled";
    bool anyTexture = false;
    for (const PolygonState& p : scene.polygons)
        anyTexture = anyTexture || p.picture != Picture::None;
    int number = 1;
    for (const PolygonState& p : scene.polygons)
        out += "; " + std::to_string(number++) + ": " + describePolygon(p, anyTexture);
    return out;
}

Rgb toRgb(const arithmetic::Colour& colour) {
    return {arithmetic::toByte(colour.r), arithmetic::toByte(colour.g),
            arithmetic::toByte(colour.b)};
}

arithmetic::Colour fromRgb(const Rgb& colour) {
    return arithmetic::fromBytes(colour.r, colour.g, colour.b, 1);
}

arithmetic::Colour colourOf(const PolygonState& polygon) {
    return arithmetic::fromBytes(polygon.red, polygon.green, polygon.blue, double(polygon.alpha));
}

PolygonState square(int x, int y, int size, Rgb colour) {
    PolygonState p;
    p.x = x, p.y = y, p.size = size;
    p.red = colour.r, p.green = colour.g, p.blue = colour.b;
    return p;
}

int flatPixel(double unit) {
    return int(std::floor((unit + 128) * 2));
}

double flatUnit(int pixel) {
    return (pixel + 0.5) / 2 - 128;
}

bool insideFrame(int x, int y) {
    return x >= 0 && y >= 0 && x < frameSize && y < frameSize;
}

std::vector<Case> allCases(const Pictures& pictures) {
    std::vector<Case> cases;
    addFlatViewCases(cases);
    addPerspectiveViewCases(cases);
    addBlendCases(cases);
    addAlphaTestCases(cases);
    addTextureCases(cases, pictures);
    addLightingCases(cases);
    return cases;
}

} // namespace check
