// Pixel formats, rendering contexts and SwapBuffers, mapped onto the backend's GL surface
// for a window. Every step can fail, and the backend may be told to fail any one.
#include "platform/layer.h"

using namespace layer;

namespace {

HWND windowOfDc(HDC dc) {
    DeviceContext* context = deviceContextOf(dc);
    return context && windowOf(context->window) ? context->window : nullptr;
}

GlContext* glContextOf(HGLRC context) {
    auto& contexts = state().glContexts;
    auto found = contexts.find(reinterpret_cast<uintptr_t>(context));
    return found == contexts.end() ? nullptr : &found->second;
}

const Backend* glBackend() {
    const Backend* backend = state().backend;
    return backend && backend->choosePixelFormat ? backend : nullptr;
}

} // namespace

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor) {
    HWND window = windowOfDc(dc);
    const Backend* backend = glBackend();
    if (!window || !descriptor || !backend)
        return 0;
    return backend->choosePixelFormat(window, *descriptor);
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT size, LPPIXELFORMATDESCRIPTOR descriptor) {
    const Backend* backend = glBackend();
    if (!windowOfDc(dc) || !backend)
        return 0;
    PIXELFORMATDESCRIPTOR described{};
    if (!backend->describePixelFormat(1, described))
        return 0; // no formats at all
    if (!descriptor)
        return 1;
    if (size < sizeof(PIXELFORMATDESCRIPTOR) || !backend->describePixelFormat(format, *descriptor))
        return 0;
    return 1;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    HWND window = windowOfDc(dc);
    const Backend* backend = glBackend();
    if (!window || !backend || format <= 0)
        return FALSE;
    Window* w = windowOf(window);
    if (w->pixelFormat)
        return w->pixelFormat == format; // a window's format is set once
    if (!backend->setPixelFormat(window, format))
        return FALSE;
    w->pixelFormat = format;
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC dc) {
    HWND window = windowOfDc(dc);
    const Backend* backend = glBackend();
    if (!window || !backend || !windowOf(window)->pixelFormat)
        return nullptr;
    void* context = backend->createContext(window);
    if (!context)
        return nullptr;
    uintptr_t handle = newHandle();
    state().glContexts.emplace(handle, GlContext{.backendContext = context, .window = window});
    return reinterpret_cast<HGLRC>(handle);
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    Layer& s = state();
    const Backend* backend = glBackend();
    if (!backend)
        return FALSE;
    if (!context) {
        backend->makeCurrent(nullptr, nullptr);
        s.currentGl = nullptr;
        s.currentGlDc = nullptr;
        return TRUE;
    }
    GlContext* gl = glContextOf(context);
    HWND window = windowOfDc(dc);
    if (!gl || !window)
        return FALSE;
    if (windowOf(window)->pixelFormat != windowOf(gl->window)->pixelFormat)
        return FALSE;
    if (!backend->makeCurrent(window, gl->backendContext))
        return FALSE;
    s.currentGl = context;
    s.currentGlDc = dc;
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
    Layer& s = state();
    GlContext* gl = glContextOf(context);
    const Backend* backend = glBackend();
    if (!gl || !backend)
        return FALSE;
    if (s.currentGl == context)
        wglMakeCurrent(nullptr, nullptr);
    backend->deleteContext(gl->backendContext);
    s.glContexts.erase(reinterpret_cast<uintptr_t>(context));
    return TRUE;
}

HGLRC WINAPI wglGetCurrentContext(void) {
    return state().currentGl;
}
HDC WINAPI wglGetCurrentDC(void) {
    return state().currentGlDc;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    HWND window = windowOfDc(dc);
    const Backend* backend = glBackend();
    if (!window || !backend || !windowOf(window)->pixelFormat)
        return FALSE;
    return backend->present(window) ? TRUE : FALSE;
}
