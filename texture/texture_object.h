// Texture objects made from a polygon's decoded picture.
#pragma once

#include <cstdint>

#include "texture/image.h"

// True for 2, 4, 8 ... 2^30: the sides a picture needs before it may become a texture.
bool isPowerOfTwo(int32_t n);

// Replaces the current polygon's texture by a new object holding `image` (24 or 32 bits per
// pixel) with the given filters, and leaves it bound. For any other depth the new object stays
// empty and the result is 0; otherwise 1. Needs a current polygon and the GL context.
int createTexture(const Image& image, int32_t minFilter, int32_t magFilter);

// Deletes the texture object `texture` names, if any, and sets it to 0.
void deleteTexture(uint32_t& texture);

// Makes `copy` a new texture object holding what `source` holds now: its level-0 picture, its
// filters and wrap modes; an object without a picture gives one without a picture, and 0
// gives 0. False, with `copy` 0, when no memory is left for the picture on its way across.
// The binding in force is kept.
bool copyTexture(uint32_t source, uint32_t& copy);
