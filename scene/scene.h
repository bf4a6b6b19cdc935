// The scene's process-wide values and the four display options.
#pragma once

#include "scene/polygon.h"

extern scene::Polygon* polygonListHead; // first Polygon of the list, nullptr when empty
extern scene::Polygon* currentPolygon;  // the one the panel edits; nullptr exactly when the list is empty
extern int polygonCounter;       // number for the next made polygon's name; never reset

extern bool orthographic;   // true: 2D view, false: 3D view
extern bool textureMapping; // polygons drawn with their textures
extern bool lighting;       // GL lighting with the default light
extern bool colorMaterial;  // polygon colour drives the material under lighting

// Releases every Polygon and puts the values above back to their start-up state.
void resetScene();
