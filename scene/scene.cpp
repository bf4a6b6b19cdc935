#include "scene/scene.h"

scene::Polygon* polygonListHead = nullptr;
scene::Polygon* currentPolygon = nullptr;
int polygonCounter = 1;

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
    polygonCounter = 1;
    orthographic = true;
    textureMapping = true;
    lighting = false;
    colorMaterial = false;
}
