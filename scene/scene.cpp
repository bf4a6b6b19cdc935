#include "scene/scene.h"

Polygon* polygonListHead = nullptr;
Polygon* currentPolygon = nullptr;
int polygonCounter = 1;

bool orthographic = true;
bool textureMapping = true;
bool lighting = false;
bool colorMaterial = false;

void resetScene() {
    while (polygonListHead) {
        Polygon* next = polygonListHead->next;
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
