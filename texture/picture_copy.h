// A duplicated polygon gets its own copy of its source's picture and texture object, so each
// polygon releases only what it owns: removing, re-texturing or clearing one of the two never
// reaches the other.
#pragma once

#include "scene/polygon.h"

// Gives `copy` (a field-by-field copy of `source`) its own image buffers and its own texture
// object holding what `source`'s texture holds now. On failure (no memory) `copy` holds no
// buffers and no texture, and the result is false. Needs the GL context.
bool copyPicture(const scene::Polygon& source, scene::Polygon& copy);
