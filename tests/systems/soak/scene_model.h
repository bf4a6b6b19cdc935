// What the soak expects of the scene, kept beside the program's own, and the checks that
// compare the two after every action.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "scene/polygon.h"
#include "tests/systems/soak/soak_files.h"

using scene::Polygon;

namespace soak {

enum class TextureHolds {
    Nothing,   // texture 0
    NoPicture, // a name made from a picture of a depth GL is not given
    Picture,   // a name holding texturePicture
};

struct PolygonExpectation {
    SharedSnapshot image; // null: an empty Image
    TextureHolds texture = TextureHolds::Nothing;
    SharedSnapshot texturePicture;
    int minFilter = 0; // of a texture holding a picture
    int magFilter = 0;
    int minFilterIndex = 0;
    int magFilterIndex = 0;
    std::string textureFile = "None";
    int x = 0; // position when last checked: only a drag of the current polygon moves it
    int y = 0;
};

// The polygons in list order, and what each one holds.
struct SceneModel {
    std::vector<const Polygon*> order;
    std::map<const Polygon*, PolygonExpectation> expected;
};

// The polygon list as the program links it; `problem` tells when it does not end.
std::vector<const Polygon*> walkList(std::string& problem);

// Each check returns what is wrong, or "" when nothing is.
// "PolyList", the polygon list and the current polygon agree.
std::string checkListBox(const std::vector<const Polygon*>& list);
// The polygon's picture, texture and texture file name are what the model says.
std::string checkPolygon(const Polygon& polygon, const PolygonExpectation& expected);
// Every live image buffer, texture name and Polygon record belongs to exactly one polygon of
// the list, and every buffer is as long as what reads it.
std::string checkOwnership(const std::vector<const Polygon*>& list);
// With the main loop idle: the panel shows the current polygon, the swatch its colour, the
// menu marks the options; no value field keeps the focus; the view angles are whole degrees.
std::string checkMainWindow();

// What a texture made from `picture` holds: a picture, or none when GL is not given one.
TextureHolds uploadOf(const ImageSnapshot& picture);
// The GL filter a filter list index stands for; `minifying` picks GL's default for none.
int filterOf(int index, bool minifying);

} // namespace soak
