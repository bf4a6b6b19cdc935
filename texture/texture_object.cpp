#include "texture/texture_object.h"

#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>
#include <memory>
#include <new>
#include <type_traits>

#include "scene/scene.h"

static_assert(std::is_same_v<GLuint, uint32_t>, "texture names are stored as uint32_t");

namespace {

// Rows of any width travel packed: a 24-bit row of 2 pixels is 6 bytes, not 8. The previous
// alignment is put back so nothing else sees the change.
class PackedRows {
  public:
    explicit PackedRows(GLenum which) : which_(which) {
        glGetIntegerv(which_, &previous_);
        glPixelStorei(which_, 1);
    }
    ~PackedRows() {
        if (previous_ > 0)
            glPixelStorei(which_, previous_);
    }
    PackedRows(const PackedRows&) = delete;
    PackedRows& operator=(const PackedRows&) = delete;

  private:
    GLenum which_;
    GLint previous_ = 0; // stays 0 without a context, when there is nothing to put back
};

struct SamplingState {
    GLint minFilter = 0;
    GLint magFilter = 0;
    GLint wrapS = 0;
    GLint wrapT = 0;
};

SamplingState boundSampling() {
    SamplingState state;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &state.minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &state.magFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &state.wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &state.wrapT);
    return state;
}

void setBoundSampling(const SamplingState& state) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, state.minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, state.magFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, state.wrapS);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, state.wrapT);
}

// The level-0 picture of the bound texture.
struct LevelPicture {
    GLint width = 0;
    GLint height = 0;
    GLint internalFormat = 0;
    std::unique_ptr<uint8_t[]> rgba; // null when the texture holds no picture
};

// False when the picture is there but no memory is left to hold it.
bool readBoundPicture(LevelPicture& picture) {
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &picture.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &picture.height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &picture.internalFormat);
    if (picture.width <= 0 || picture.height <= 0)
        return true;
    // Read as RGBA whatever it holds; the internal format drops what the original lacked.
    const size_t bytes = size_t(picture.width) * size_t(picture.height) * 4;
    picture.rgba.reset(new (std::nothrow) uint8_t[bytes]);
    if (!picture.rgba)
        return false;
    PackedRows packed(GL_PACK_ALIGNMENT);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, picture.rgba.get());
    return true;
}

} // namespace

bool isPowerOfTwo(int32_t n) {
    return n >= 2 && (n & (n - 1)) == 0;
}

int createTexture(const Image& image, int32_t minFilter, int32_t magFilter) {
    scene::Polygon& polygon = *currentPolygon;
    deleteTexture(polygon.texture);
    glGenTextures(1, &polygon.texture);
    glBindTexture(GL_TEXTURE_2D, polygon.texture);

    GLint components = 0;
    GLenum format = 0;
    switch (image.bitsPerPixel) {
    case 24: components = 3, format = GL_RGB; break;
    case 32: components = 4, format = GL_RGBA; break;
    default: return 0; // the name stays, without a picture: drawn untextured
    }
    if (!image.pixels)
        return 0;
    {
        PackedRows packed(GL_UNPACK_ALIGNMENT);
        glTexImage2D(GL_TEXTURE_2D, 0, components, image.width, image.height, 0, format,
                     GL_UNSIGNED_BYTE, image.pixels);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    return 1;
}

void deleteTexture(uint32_t& texture) {
    if (texture == 0)
        return;
    glDeleteTextures(1, &texture);
    texture = 0;
}

bool copyTexture(uint32_t source, uint32_t& copy) {
    copy = 0;
    if (source == 0)
        return true;
    GLint previousBinding = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousBinding);

    glBindTexture(GL_TEXTURE_2D, source);
    LevelPicture picture;
    bool enoughMemory = readBoundPicture(picture);
    SamplingState sampling = boundSampling();
    if (enoughMemory) {
        glGenTextures(1, &copy);
        glBindTexture(GL_TEXTURE_2D, copy);
        if (picture.rgba) {
            PackedRows packed(GL_UNPACK_ALIGNMENT);
            glTexImage2D(GL_TEXTURE_2D, 0, picture.internalFormat, picture.width, picture.height, 0,
                         GL_RGBA, GL_UNSIGNED_BYTE, picture.rgba.get());
        }
        setBoundSampling(sampling);
    }
    glBindTexture(GL_TEXTURE_2D, GLuint(previousBinding));
    return enoughMemory;
}
