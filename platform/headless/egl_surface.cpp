// EGL pbuffers and contexts on Mesa's surfaceless platform (software rendering, llvmpipe,
// when there is no GPU).
#include "platform/headless/egl_surface.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <algorithm>
#include <map>

namespace headless {

namespace {

struct EglState {
    bool tried = false;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLConfig config = nullptr;
    std::map<HWND, EGLSurface> surfaces;
};

// The display lives as long as the process, as a driver connection does; surfaces are per
// session.
EglState& egl() {
    static EglState state;
    return state;
}

EGLDisplay openDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay)
        return EGL_NO_DISPLAY;
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        return EGL_NO_DISPLAY;
    return display;
}

// Exactly RGB 8-8-8 with no alpha, 16-bit depth and no stencil, as the view frame asks.
EGLConfig chooseConfig(EGLDisplay display) {
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             EGL_PBUFFER_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_DEPTH_SIZE,
                             16,
                             EGL_NONE};
    EGLConfig configs[256];
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, configs, 256, &count))
        return nullptr;
    for (EGLint i = 0; i < count; ++i) {
        EGLint red, green, blue, alpha, depth, stencil;
        eglGetConfigAttrib(display, configs[i], EGL_RED_SIZE, &red);
        eglGetConfigAttrib(display, configs[i], EGL_GREEN_SIZE, &green);
        eglGetConfigAttrib(display, configs[i], EGL_BLUE_SIZE, &blue);
        eglGetConfigAttrib(display, configs[i], EGL_ALPHA_SIZE, &alpha);
        eglGetConfigAttrib(display, configs[i], EGL_DEPTH_SIZE, &depth);
        eglGetConfigAttrib(display, configs[i], EGL_STENCIL_SIZE, &stencil);
        if (red == 8 && green == 8 && blue == 8 && alpha == 0 && depth == 16 && stencil == 0)
            return configs[i];
    }
    return nullptr;
}

} // namespace

bool eglReady() {
    EglState& s = egl();
    if (!s.tried) {
        s.tried = true;
        s.display = openDisplay();
        if (s.display != EGL_NO_DISPLAY && eglBindAPI(EGL_OPENGL_API))
            s.config = chooseConfig(s.display);
    }
    return s.display != EGL_NO_DISPLAY && s.config;
}

bool createSurface(HWND window) {
    if (!eglReady())
        return false;
    EglState& s = egl();
    if (s.surfaces.count(window))
        return true;
    const EGLint size[] = {EGL_WIDTH, surfaceSize, EGL_HEIGHT, surfaceSize, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(s.display, s.config, size);
    if (surface == EGL_NO_SURFACE)
        return false;
    s.surfaces.emplace(window, surface);
    return true;
}

void destroySurface(HWND window) {
    EglState& s = egl();
    auto found = s.surfaces.find(window);
    if (found == s.surfaces.end())
        return;
    if (eglGetCurrentSurface(EGL_DRAW) == found->second)
        eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(s.display, found->second);
    s.surfaces.erase(found);
}

void* createGlContext() {
    if (!eglReady())
        return nullptr;
    eglBindAPI(EGL_OPENGL_API);
    EGLContext context = eglCreateContext(egl().display, egl().config, EGL_NO_CONTEXT, nullptr);
    return context == EGL_NO_CONTEXT ? nullptr : context;
}

void destroyGlContext(void* context) {
    if (!eglReady() || !context)
        return;
    if (eglGetCurrentContext() == context)
        eglMakeCurrent(egl().display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(egl().display, context);
}

bool makeGlCurrent(HWND window, void* context) {
    if (!eglReady())
        return false;
    EglState& s = egl();
    if (!window && !context)
        return eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    auto found = s.surfaces.find(window);
    if (found == s.surfaces.end())
        return false;
    return eglMakeCurrent(s.display, found->second, found->second, context);
}

bool readSurface(HWND window, std::vector<uint8_t>& rgb) {
    EglState& s = egl();
    auto found = s.surfaces.find(window);
    if (found == s.surfaces.end() || eglGetCurrentSurface(EGL_DRAW) != found->second)
        return false;
    eglSwapBuffers(s.display, found->second);
    std::vector<uint8_t> bottomUp(static_cast<size_t>(surfaceSize) * surfaceSize * 3);
    GLint alignment;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, surfaceSize, surfaceSize, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    const size_t row = static_cast<size_t>(surfaceSize) * 3;
    rgb.resize(bottomUp.size());
    for (int y = 0; y < surfaceSize; ++y)
        std::copy_n(bottomUp.begin() + (surfaceSize - 1 - y) * row, row, rgb.begin() + y * row);
    return true;
}

void releaseAllSurfaces() {
    EglState& s = egl();
    if (s.display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(s.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    for (auto& [window, surface] : s.surfaces)
        eglDestroySurface(s.display, surface);
    s.surfaces.clear();
}

} // namespace headless
