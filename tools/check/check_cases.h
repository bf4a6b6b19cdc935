// The check's cases: scenes a user can build with the panel, the Options menu and the Texture
// Map dialog, each with the pixels to probe in the drawn frame and what the OpenGL 1.1
// reference's arithmetic says they must hold.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "texture/image.h"

namespace check {

constexpr int frameSize = 512; // the view frame, square

enum class Picture { None, Rgb, Rgba };

// One polygon as the panel leaves it.
struct PolygonState {
    int red = 255, green = 255, blue = 255;
    float alpha = 1.0f;
    int size = 100;
    int x = 0, y = 0;
    bool blend = false;
    uint32_t blendSource = 0, blendDestination = 0;
    bool alphaTest = false;
    uint32_t alphaFunc = 0x0207; // GL_ALWAYS
    float alphaRef = 0.5f;
    uint32_t texEnv = 0x2100; // GL_MODULATE
    Picture picture = Picture::None;
    int32_t minFilter = 0x2600, magFilter = 0x2600; // GL_NEAREST
};

struct SceneState {
    std::vector<PolygonState> polygons; // head first
    bool orthographic = true;
    bool textureMapping = true;
    bool lighting = false;
    bool colorMaterial = false;
    float angleY = 0, angleX = 0; // the 3D view's turn, degrees
};

struct Rgb {
    int r, g, b;
};

struct Probe {
    int x, y; // picture pixel, x right and y down from the top-left corner
    Rgb expected;
    int tolerance; // steps of 255 each component may be off
    std::string where;
};

struct Case {
    std::string kind;  // blending, alpha test, texture, lighting, 2D view, 3D view
    std::string state; // in the panel's and the menu's own words
    SceneState scene;
    std::vector<Probe> probes;
};

// The two pictures textures are made from, as the loader gave them: 16 x 16, RGB and RGBA.
struct Pictures {
    Image rgb;
    Image rgba;
};

// Every case, in the order they are drawn in one context: a state switched on is followed by
// cases drawn with it off again.
std::vector<Case> allCases(const Pictures& pictures);

} // namespace check
