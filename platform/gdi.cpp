// The GDI subset: device contexts of windows, solid brushes, rectangle fills, stock objects.
// A fill is kept as the window's colour (the swatch shows it) and passed to the backend.
#include "platform/layer.h"

#include <algorithm>

using namespace layer;

namespace {

HGDIOBJ newObject(GdiObject::Kind kind, COLORREF colour, bool stock) {
    auto object = std::make_unique<GdiObject>();
    object->kind = kind;
    object->colour = colour;
    object->stock = stock;
    uintptr_t handle = newHandle();
    state().gdiObjects.emplace(handle, std::move(object));
    return reinterpret_cast<HGDIOBJ>(handle);
}

HDC newDeviceContext(HWND window, bool own) {
    uintptr_t handle = newHandle();
    state().deviceContexts.emplace(handle, DeviceContext{.window = window, .own = own});
    return reinterpret_cast<HDC>(handle);
}

// A brush handle may also be a system colour index plus one, as class backgrounds use.
bool brushColour(HBRUSH brush, COLORREF& colour) {
    auto value = reinterpret_cast<uintptr_t>(brush);
    if (value >= 1 && value <= 31) {
        colour = GetSysColor(static_cast<int>(value - 1));
        return true;
    }
    GdiObject* object = gdiObjectOf(brush);
    if (!object || object->kind != GdiObject::Brush)
        return false;
    colour = object->colour;
    return true;
}

} // namespace

HDC WINAPI GetDC(HWND window) {
    if (!window)
        return newDeviceContext(nullptr, false); // the screen
    Window* w = windowOf(window);
    if (!w)
        return nullptr;
    const Backend* backend = state().backend;
    if (backend && backend->getDc && !backend->getDc(window))
        return nullptr;
    if (w->windowClass->style & CS_OWNDC) {
        if (!w->ownDc)
            w->ownDc = newDeviceContext(window, true);
        return w->ownDc;
    }
    return newDeviceContext(window, false);
}

int WINAPI ReleaseDC(HWND, HDC dc) {
    DeviceContext* context = deviceContextOf(dc);
    if (!context)
        return 0;
    if (!context->own)
        state().deviceContexts.erase(reinterpret_cast<uintptr_t>(dc));
    return 1;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(newObject(GdiObject::Brush, color & 0x00FFFFFF, false));
}

int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    DeviceContext* context = deviceContextOf(dc);
    COLORREF colour;
    if (!context || !rect || !brushColour(brush, colour))
        return 0;
    Window* w = windowOf(context->window);
    if (!w)
        return 1; // the screen: nothing of ours to keep
    RECT client = clientRectOf(*w);
    RECT clipped{std::max(rect->left, client.left), std::max(rect->top, client.top),
                 std::min(rect->right, client.right), std::min(rect->bottom, client.bottom)};
    if (clipped.left >= clipped.right || clipped.top >= clipped.bottom)
        return 1;
    w->hasFill = true;
    w->fillColour = colour;
    w->fillArea = clipped;
    const Backend* backend = state().backend;
    if (backend && backend->fillRect)
        backend->fillRect(context->window, clipped, colour);
    return 1;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    GdiObject* found = gdiObjectOf(object);
    if (!found)
        return FALSE;
    if (found->stock)
        return TRUE;
    for (auto& [handle, dc] : state().deviceContexts) {
        if (dc.brush == object || dc.font == object)
            return FALSE; // still selected
    }
    state().gdiObjects.erase(reinterpret_cast<uintptr_t>(object));
    return TRUE;
}

HGDIOBJ WINAPI GetStockObject(int index) {
    static const COLORREF brushColours[] = {RGB(255, 255, 255), RGB(192, 192, 192),
                                            RGB(128, 128, 128), RGB(64, 64, 64),
                                            RGB(0, 0, 0),       0};
    if (index < WHITE_BRUSH || index > DEFAULT_GUI_FONT)
        return nullptr;
    auto& stock = state().stockObjects;
    auto found = stock.find(index);
    if (found != stock.end())
        return found->second;
    GdiObject::Kind kind = index <= NULL_BRUSH ? GdiObject::Brush
                           : index <= NULL_PEN ? GdiObject::Pen
                                               : GdiObject::Font;
    COLORREF colour = index <= NULL_BRUSH ? brushColours[index] : 0;
    HGDIOBJ object = newObject(kind, colour, true);
    stock.emplace(index, object);
    return object;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    DeviceContext* context = deviceContextOf(dc);
    GdiObject* found = gdiObjectOf(object);
    if (!context || !found)
        return nullptr;
    HGDIOBJ* slot = found->kind == GdiObject::Brush  ? &context->brush
                    : found->kind == GdiObject::Font ? &context->font
                                                     : nullptr;
    if (!slot)
        return nullptr;
    HGDIOBJ previous = *slot;
    *slot = object;
    return previous ? previous
                    : GetStockObject(found->kind == GdiObject::Brush ? WHITE_BRUSH : SYSTEM_FONT);
}

DWORD WINAPI GetSysColor(int index) {
    switch (index) {
    case COLOR_BTNFACE: return RGB(240, 240, 240);
    case COLOR_WINDOW: return RGB(255, 255, 255);
    case COLOR_BACKGROUND: return RGB(0, 0, 0);
    default: return RGB(0, 0, 0);
    }
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
    if (!rect)
        return FALSE;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL WINAPI PtInRect(const RECT* rect, POINT point) {
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top &&
           point.y < rect->bottom;
}
