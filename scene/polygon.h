// One entry of the scene: a coloured, optionally textured square drawn with its own GL state.
#pragma once

#include <cstdint>

#include "texture/image.h"

// The record lives in a namespace of its own: on Windows, GDI declares a function Polygon in
// the global namespace, and a function name hides a class name there.
namespace scene {

struct Polygon {
    int32_t red;              // 0..255, drawn as red / 255
    int32_t green;            // 0..255
    int32_t blue;             // 0..255
    int32_t size;             // 1..255, edge length in view units
    int32_t blendEnabled;     // check-box state; blending only when exactly 1
    int32_t alphaTestEnabled; // check-box state; alpha test only when exactly 1
    int32_t blendSrcIndex;    // "glBlend1" selection
    uint32_t blendSrc;        // its item data, the source factor for glBlendFunc
    int32_t blendDstIndex;    // "glBlend2" selection
    uint32_t blendDst;        // its item data, the destination factor
    int32_t alphaFuncIndex;   // "glAlpha1" selection
    uint32_t alphaFunc;       // its item data, the function for glAlphaFunc
    int32_t texEnvIndex;      // "glTexEnv" selection
    uint32_t texEnvMode;      // its item data, the GL_TEXTURE_ENV_MODE
    int32_t minFilterIndex;   // Min Filter choice at the last OK of the Texture Map dialog
    int32_t magFilterIndex;   // Mag Filter choice at the last OK
    float alpha;              // vertex alpha, 0..1
    float alphaRef;           // reference value for glAlphaFunc, 0..1
    int32_t x;                // centre, view units; 0, 0 is the centre of the view
    int32_t y;
    char name[256];        // entry text in "PolyList"
    Image image;           // decoded picture the texture was made from
    char textureFile[256]; // image file name without directory, or "None"
    uint32_t texture;      // GL texture object, 0 = none
    Polygon* next;         // following Polygon, nullptr at the tail
};

} // namespace scene

// A Polygon with every default and an empty name; nullptr when memory runs out.
scene::Polygon* makePolygon();

// Frees the picture's buffers and deletes the texture object, then the record.
void releasePolygon(scene::Polygon* polygon);
