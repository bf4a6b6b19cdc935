// The one record of layer state, its reset, and lookups shared by the layer's sources.
#include "platform/layer.h"

#include <cctype>

namespace layer {

Layer& state() {
    static Layer layer;
    return layer;
}

void resetLayer() {
    Layer& s = state();
    // Destroy what is left the way the program would see it go: owned windows first, so
    // every procedure still gets its WM_DESTROY.
    for (;;) {
        HWND victim = nullptr;
        for (auto& [handle, window] : s.windows) {
            if (!window->parent && !window->destroying)
                victim = window->handle;
        }
        if (!victim)
            break;
        DestroyWindow(victim);
    }
    const Backend* backend = s.backend;
    for (auto& [handle, context] : s.glContexts) {
        if (backend && backend->deleteContext)
            backend->deleteContext(context.backendContext);
    }
    s = Layer{};
    s.backend = backend;
}

uintptr_t newHandle() {
    uintptr_t handle = state().nextHandle;
    state().nextHandle += 4;
    return handle;
}

Window* windowOf(HWND window) {
    auto& windows = state().windows;
    auto found = windows.find(reinterpret_cast<uintptr_t>(window));
    return found == windows.end() ? nullptr : found->second.get();
}

Menu* menuOf(HMENU menu) {
    auto& menus = state().menus;
    auto found = menus.find(reinterpret_cast<uintptr_t>(menu));
    return found == menus.end() ? nullptr : found->second.get();
}

GdiObject* gdiObjectOf(HGDIOBJ object) {
    auto& objects = state().gdiObjects;
    auto found = objects.find(reinterpret_cast<uintptr_t>(object));
    return found == objects.end() ? nullptr : found->second.get();
}

DeviceContext* deviceContextOf(HDC dc) {
    auto& dcs = state().deviceContexts;
    auto found = dcs.find(reinterpret_cast<uintptr_t>(dc));
    return found == dcs.end() ? nullptr : &found->second;
}

std::string lowerCase(const char* text) {
    std::string lower = text ? text : "";
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool equalsNoCase(const std::string& a, const char* b) {
    return lowerCase(a.c_str()) == lowerCase(b);
}

WindowClass* findClass(LPCSTR name) {
    if (!state().systemClassesReady) {
        state().systemClassesReady = true;
        registerSystemClasses();
    }
    if (!name)
        return nullptr;
    for (auto& cls : state().classes) {
        if (IS_INTRESOURCE(name) ? cls->atom == LOWORD(name) : equalsNoCase(cls->name, name))
            return cls.get();
    }
    return nullptr;
}

HWND topLevelOf(HWND window) {
    Window* w = windowOf(window);
    while (w && w->parent)
        w = windowOf(w->parent);
    return w ? w->handle : nullptr;
}

bool isDescendant(HWND ancestor, HWND window) {
    Window* w = windowOf(window);
    while (w && w->parent) {
        if (w->parent == ancestor)
            return true;
        w = windowOf(w->parent);
    }
    return false;
}

bool isEnabledForInput(HWND window) {
    for (Window* w = windowOf(window); w; w = windowOf(w->parent)) {
        if (w->style & WS_DISABLED)
            return false;
        if (!w->parent)
            break;
    }
    return windowOf(window) != nullptr;
}

RECT nonClientInsets(const Window& w) {
    int frame = 0;
    if (w.style & WS_THICKFRAME)
        frame = 4;
    else if ((w.style & WS_DLGFRAME) || (w.exStyle & WS_EX_DLGMODALFRAME))
        frame = 3;
    else if (w.style & WS_BORDER)
        frame = 1;
    if (w.exStyle & WS_EX_CLIENTEDGE)
        frame += 2;
    if (w.exStyle & WS_EX_STATICEDGE)
        frame += 1;
    int top = frame;
    if ((w.style & WS_CAPTION) == WS_CAPTION)
        top += 19;
    if (!w.parent && w.menu)
        top += 19;
    return RECT{frame, top, frame, frame};
}

RECT clientRectOf(const Window& w) {
    RECT insets = nonClientInsets(w);
    LONG width = w.rect.right - w.rect.left - insets.left - insets.right;
    LONG height = w.rect.bottom - w.rect.top - insets.top - insets.bottom;
    return RECT{0, 0, width > 0 ? width : 0, height > 0 ? height : 0};
}

POINT clientOriginOnScreen(HWND window) {
    POINT origin{0, 0};
    for (Window* w = windowOf(window); w; w = windowOf(w->parent)) {
        RECT insets = nonClientInsets(*w);
        origin.x += w->rect.left + insets.left;
        origin.y += w->rect.top + insets.top;
        if (!w->parent)
            break;
    }
    return origin;
}

void viewChanged(HWND window, unsigned changes) {
    Window* w = windowOf(window);
    const Backend* backend = state().backend;
    if (w && w->created && backend && backend->updateView)
        backend->updateView(window, changes);
}

bool sendCreateView(HWND window) {
    const Backend* backend = state().backend;
    return !backend || !backend->createView || backend->createView(window);
}

} // namespace layer

void setBackend(const Backend* backend) {
    layer::state().backend = backend;
}
const Backend* currentBackend() {
    return layer::state().backend;
}
