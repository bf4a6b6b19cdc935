#include "scene/polygon.h"

#include <cstring>
#include <new>

#include "texture/texture_object.h"

scene::Polygon* makePolygon() {
    scene::Polygon* polygon = new (std::nothrow) scene::Polygon{};
    if (!polygon)
        return nullptr;
    polygon->red = 255;
    polygon->green = 255;
    polygon->blue = 255;
    polygon->size = 100;
    polygon->blendSrc = 0; // GL_ZERO
    polygon->blendDst = 0; // GL_ZERO
    polygon->alphaFuncIndex = 7;
    polygon->alphaFunc = 0x0207;  // GL_ALWAYS
    polygon->texEnvMode = 0x2100; // GL_MODULATE
    polygon->alpha = 0.5f;
    polygon->alphaRef = 0.5f;
    std::strcpy(polygon->textureFile, "None");
    return polygon;
}

void releasePolygon(scene::Polygon* polygon) {
    if (!polygon)
        return;
    releaseImage(polygon->image);
    // Each polygon owns its texture object; a duplicate has one of its own.
    deleteTexture(polygon->texture);
    delete polygon;
}
