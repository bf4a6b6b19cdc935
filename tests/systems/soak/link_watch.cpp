#include "tests/systems/soak/link_watch.h"

#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>
#include <cstdio>

#include "scene/scene.h"

using scene::Polygon;

// The originals, reached through the linker's --wrap names. C++ functions go by their
// mangled names: renderFrame(), allocBuffer(size_t), freeBuffer(uint8_t*), makePolygon(),
// releasePolygon(scene::Polygon*).
extern "C" {
void __real_glGenTextures(GLsizei count, GLuint* names);
void __real_glDeleteTextures(GLsizei count, const GLuint* names);
void __real_glBindTexture(GLenum target, GLuint name);
void __real_glBegin(GLenum mode);
void __real__Z11renderFramev();
uint8_t* __real__Z11allocBufferm(size_t bytes);
void __real__Z10freeBufferPh(uint8_t* buffer);
Polygon* __real__Z11makePolygonv();
void __real__Z14releasePolygonPN5scene7PolygonE(Polygon* polygon);
}

namespace {

constexpr int64_t nothingBound = -1;

struct Watch {
    std::set<uint32_t> textures;
    std::map<const uint8_t*, size_t> blocks;
    std::set<const Polygon*> polygons;
    std::vector<std::string> breaches;
    size_t largestBlock = 0;

    // The frame being drawn: the polygons in drawing order, squares drawn so far and the
    // name bound for the next square.
    bool inFrame = false;
    std::vector<const Polygon*> drawing;
    size_t squares = 0;
    int64_t bound = nothingBound;
    long frames = 0;
    long squaresChecked = 0;
};

Watch& watched() {
    static Watch state;
    return state;
}

void breach(const char* format, auto... values) {
    char text[1024];
    std::snprintf(text, sizeof text, format, values...);
    Watch& w = watched();
    if (w.breaches.size() < 20)
        w.breaches.emplace_back(text);
}

const char* nameOf(const Polygon* polygon) {
    return polygon->name;
}

// A frame draws each polygon once, in list order, and no two hold the same texture name.
void checkFrameEnd() {
    Watch& w = watched();
    if (w.squares != w.drawing.size())
        breach("frame %ld drew %zu squares for %zu polygons", w.frames, w.squares,
               w.drawing.size());
    std::map<uint32_t, const Polygon*> holders;
    for (const Polygon* polygon : w.drawing) {
        if (polygon->texture == 0)
            continue;
        auto [at, added] = holders.emplace(polygon->texture, polygon);
        if (!added)
            breach("frame %ld: texture %u is held by both '%s' and '%s'", w.frames,
                   polygon->texture, nameOf(at->second), nameOf(polygon));
    }
}

} // namespace

extern "C" {

void __wrap_glGenTextures(GLsizei count, GLuint* names) {
    __real_glGenTextures(count, names);
    for (GLsizei i = 0; i < count; ++i)
        if (names[i] != 0 && !watched().textures.insert(names[i]).second)
            breach("glGenTextures handed out %u, which is still live", names[i]);
}

void __wrap_glDeleteTextures(GLsizei count, const GLuint* names) {
    for (GLsizei i = 0; i < count; ++i)
        if (names[i] != 0 && watched().textures.erase(names[i]) == 0)
            breach("texture %u deleted, but it is not a live name (deleted twice?)", names[i]);
    __real_glDeleteTextures(count, names);
}

void __wrap_glBindTexture(GLenum target, GLuint name) {
    Watch& w = watched();
    if (target == GL_TEXTURE_2D) {
        // Binding a name GL does not know makes a new empty object: a deleted texture in use.
        if (name != 0 && !w.textures.count(name))
            breach("texture %u bound, but it is not a live name", name);
        if (w.inFrame) {
            if (name != 0 && !glIsTexture(name))
                breach("frame %ld binds %u, which GL does not hold as a texture", w.frames, name);
            w.bound = name;
        }
    }
    __real_glBindTexture(target, name);
}

void __wrap_glBegin(GLenum mode) {
    Watch& w = watched();
    if (w.inFrame) {
        size_t index = w.squares++;
        if (index >= w.drawing.size()) {
            breach("frame %ld draws a square past the %zu polygons of the list", w.frames,
                   w.drawing.size());
        } else if (textureMapping) {
            const Polygon* polygon = w.drawing[index];
            ++w.squaresChecked;
            if (w.bound == nothingBound)
                breach("frame %ld: square %zu ('%s') is drawn without a bind of its own", w.frames,
                       index, nameOf(polygon));
            else if (uint32_t(w.bound) != polygon->texture)
                breach("frame %ld: square %zu ('%s') is drawn with texture %lld, its polygon "
                       "holds %u",
                       w.frames, index, nameOf(polygon), (long long)w.bound, polygon->texture);
        }
        w.bound = nothingBound;
    }
    __real_glBegin(mode);
}

void __wrap__Z11renderFramev() {
    Watch& w = watched();
    w.drawing.clear();
    for (const Polygon* polygon = polygonListHead; polygon && w.drawing.size() <= w.polygons.size();
         polygon = polygon->next)
        w.drawing.push_back(polygon);
    w.squares = 0;
    w.bound = nothingBound;
    w.inFrame = true;
    __real__Z11renderFramev();
    w.inFrame = false;
    checkFrameEnd();
    ++w.frames;
}

uint8_t* __wrap__Z11allocBufferm(size_t bytes) {
    uint8_t* block = __real__Z11allocBufferm(bytes);
    Watch& w = watched();
    if (block) {
        w.blocks[block] = bytes;
        if (bytes > w.largestBlock)
            w.largestBlock = bytes;
    }
    return block;
}

void __wrap__Z10freeBufferPh(uint8_t* buffer) {
    if (buffer && watched().blocks.erase(buffer) == 0) {
        breach("image buffer %p freed, but it is not a live block (freed twice?)",
               static_cast<void*>(buffer));
        return; // freeing it again would only crash the run before it reports
    }
    __real__Z10freeBufferPh(buffer);
}

Polygon* __wrap__Z11makePolygonv() {
    Polygon* polygon = __real__Z11makePolygonv();
    if (polygon)
        watched().polygons.insert(polygon);
    return polygon;
}

void __wrap__Z14releasePolygonPN5scene7PolygonE(Polygon* polygon) {
    if (polygon && watched().polygons.erase(polygon) == 0) {
        breach("Polygon record %p released, but it is not a live record (released twice?)",
               static_cast<void*>(polygon));
        return;
    }
    __real__Z14releasePolygonPN5scene7PolygonE(polygon);
}

} // extern "C"

namespace watch {

const std::set<uint32_t>& liveTextures() {
    return watched().textures;
}
const std::map<const uint8_t*, size_t>& liveBlocks() {
    return watched().blocks;
}
const std::set<const Polygon*>& livePolygons() {
    return watched().polygons;
}
size_t largestBlockSince(bool restart) {
    size_t largest = watched().largestBlock;
    if (restart)
        watched().largestBlock = 0;
    return largest;
}
long framesDrawn() {
    return watched().frames;
}
long squaresChecked() {
    return watched().squaresChecked;
}
std::vector<std::string> takeBreaches() {
    std::vector<std::string> taken;
    taken.swap(watched().breaches);
    return taken;
}

} // namespace watch
