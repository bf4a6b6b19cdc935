// STATIC: text labels, filled rectangles, bitmaps; with SS_NOTIFY it takes mouse input.
#include "platform/controls/control_state.h"
#include "platform/layer.h"

using namespace layer;

namespace {

StaticState* recordOf(HWND window) {
    return static_cast<StaticState*>(controlRecord(window));
}

DWORD staticType(HWND window) {
    return windowOf(window)->style & SS_TYPEMASK;
}

// An SS_BITMAP static shows the bitmap the template names, its window as large as the bitmap.
void loadTemplateBitmap(HWND window, StaticState* record, const CREATESTRUCTA* cs) {
    Window* w = windowOf(window);
    const BitmapResource* bitmap = findBitmap(cs->hInstance, cs->lpszName);
    w->text.clear();
    if (!bitmap)
        return;
    record->bitmap = bitmapHandle(bitmap->id);
    w->bitmapId = bitmap->id;
    if (w->style & (SS_CENTERIMAGE | 0x40L /* SS_REALSIZECONTROL */))
        return;
    // The window, edges and all, takes the bitmap's size, as the real control sizes it.
    w->rect.right = w->rect.left + bitmap->width;
    w->rect.bottom = w->rect.top + bitmap->height;
}

LRESULT onCreate(HWND window, const CREATESTRUCTA* cs) {
    auto* record = new StaticState{.owner = cs->hwndParent};
    setControlRecord(window, record);
    if (staticType(window) == SS_BITMAP)
        loadTemplateBitmap(window, record, cs);
    return 0;
}

void onDestroy(HWND window, StaticState* record) {
    if (record->bitmap)
        DeleteObject(record->bitmap);
    delete record;
    setControlRecord(window, nullptr);
}

LRESULT setImage(HWND window, StaticState* record, WPARAM type, LPARAM image) {
    if (type != IMAGE_BITMAP || staticType(window) != SS_BITMAP)
        return 0;
    HBITMAP old = record->bitmap;
    record->bitmap = reinterpret_cast<HBITMAP>(image);
    GdiObject* object = gdiObjectOf(record->bitmap);
    windowOf(window)->bitmapId = object ? object->bitmapId : 0;
    viewChanged(window, ViewContent);
    return reinterpret_cast<LRESULT>(old);
}

LRESULT onClick(HWND window, StaticState* record, UINT code) {
    if (windowOf(window)->style & SS_NOTIFY)
        notifyCommand(window, record->owner, code);
    return 0;
}

} // namespace

namespace layer {

LRESULT CALLBACK staticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    StaticState* record = recordOf(window);
    if (!record && message != WM_CREATE)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: return onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY: onDestroy(window, record); return 0;
    case WM_LBUTTONDOWN: return onClick(window, record, STN_CLICKED);
    case WM_LBUTTONDBLCLK: return onClick(window, record, STN_DBLCLK);
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_SETFONT: windowOf(window)->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(windowOf(window)->font);
    case STM_SETIMAGE: return setImage(window, record, wParam, lParam);
    case STM_GETIMAGE:
        return wParam == IMAGE_BITMAP ? reinterpret_cast<LRESULT>(record->bitmap) : 0;
    case WM_ENABLE:
        viewChanged(window, ViewEnabled);
        return onClick(window, record, wParam ? STN_ENABLE : STN_DISABLE);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace layer
