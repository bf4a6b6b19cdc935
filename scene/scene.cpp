#include "scene/scene.h"

scene::Polygon* polygonListHead = nullptr;
scene::Polygon* currentPolygon = nullptr;

namespace {
constexpr int firstPolygonNumber = 1; // "Poly 1" is the first polygon a run makes
}
int polygonCounter = firstPolygonNumber;

bool orthographic = true;
bool textureMapping = true;
bool lighting = false;
bool colorMaterial = false;

void resetScene() {
    while (polygonListHead) {
        scene::Polygon* next = polygonListHead->next;
        releasePolygon(polygonListHead);
        polygonListHead = next;
    }
    currentPolygon = nullptr;
    polygonCounter = firstPolygonNumber;
    orthographic = true;
    textureMapping = true;
    lighting = false;
    colorMaterial = false;
}
