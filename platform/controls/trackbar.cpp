// msctls_trackbar32. The position always stays inside the range. The program's TBM_SETPOS and
// TBM_SETRANGE tell nobody; the user's drags, channel clicks and keys send WM_HSCROLL (WM_VSCROLL
// when vertical) with the TB_* code, and TB_ENDTRACK when the button or key comes up.
#include "platform/controls/control_state.h"
#include "platform/layer.h"

#include <algorithm>
#include <cmath>

using namespace layer;

namespace {

constexpr int thumbHalfWidth = 5;

TrackbarState* recordOf(HWND window) {
    return static_cast<TrackbarState*>(controlRecord(window));
}
bool isVertical(HWND window) {
    return (windowOf(window)->style & TBS_VERT) != 0;
}

int channelLength(HWND window) {
    RECT client = clientRectOf(*windowOf(window));
    return std::max(1, static_cast<int>(isVertical(window) ? client.bottom : client.right) -
                           2 * trackbarMargin);
}

int positionAt(HWND window, const TrackbarState* bar, int place) {
    int span = bar->max - bar->min;
    if (span <= 0)
        return bar->min;
    double fraction = static_cast<double>(place - trackbarMargin) / channelLength(window);
    return std::clamp(bar->min + static_cast<int>(std::lround(fraction * span)), bar->min,
                      bar->max);
}

void notify(HWND window, TrackbarState* bar, int code, int position = 0) {
    notifyScroll(window, bar->owner, code, position, isVertical(window));
}

void updatePageSize(TrackbarState* bar, bool automatic) {
    if (!automatic)
        return;
    bar->pageSize = std::max(1, (bar->max - bar->min) / 5);
}

// Every position change goes through here, clamped.
void setPosition(HWND window, TrackbarState* bar, int position) {
    bar->pos = std::clamp(position, bar->min, std::max(bar->min, bar->max));
    viewChanged(window, ViewContent);
}

LRESULT onCreate(HWND window, const CREATESTRUCTA* cs) {
    setControlRecord(
        window,
        new TrackbarState{
            .owner = cs->hwndParent, .max = 100, .lineSize = 1, .pageSize = 20, .autoPage = true});
    return 0;
}

void onDestroy(HWND window, TrackbarState* bar) {
    delete bar;
    setControlRecord(window, nullptr);
}

LRESULT setRange(HWND window, TrackbarState* bar, int min, int max) {
    bar->min = min;
    bar->max = max;
    updatePageSize(bar, bar->autoPage);
    setPosition(window, bar, bar->pos);
    return 0;
}

LRESULT setPageSize(TrackbarState* bar, LPARAM size) {
    int old = bar->pageSize;
    bar->autoPage = size == -1;
    if (bar->autoPage)
        updatePageSize(bar, true);
    else
        bar->pageSize = static_cast<int>(size);
    return old;
}

LRESULT setLineSize(TrackbarState* bar, LPARAM size) {
    int old = bar->lineSize;
    bar->lineSize = static_cast<int>(size);
    return old;
}

// A page towards the pointer, as a click on the channel does.
void pageTowards(HWND window, TrackbarState* bar, int place) {
    bool before = place < trackbarThumbX(window, bar->pos);
    setPosition(window, bar, bar->pos + (before ? -bar->pageSize : bar->pageSize));
    notify(window, bar, before ? TB_PAGEUP : TB_PAGEDOWN);
}

LRESULT onButtonDown(HWND window, TrackbarState* bar, int place) {
    SetFocus(window);
    if (!(bar = recordOf(window)))
        return 0;
    SetCapture(window);
    if (std::abs(place - trackbarThumbX(window, bar->pos)) <= thumbHalfWidth) {
        bar->dragging = true;
        viewChanged(window, ViewContent);
    } else {
        bar->paging = true;
        pageTowards(window, bar, place);
    }
    return 0;
}

LRESULT onMouseMove(HWND window, TrackbarState* bar, int place) {
    if (!bar->dragging)
        return 0;
    int position = positionAt(window, bar, place);
    if (position == bar->pos)
        return 0;
    setPosition(window, bar, position);
    notify(window, bar, TB_THUMBTRACK, bar->pos);
    return 0;
}

LRESULT onButtonUp(HWND window, TrackbarState* bar) {
    if (bar->dragging) {
        bar->dragging = false;
        notify(window, bar, TB_THUMBPOSITION, bar->pos);
        notify(window, bar, TB_ENDTRACK);
    } else if (bar->paging) {
        bar->paging = false;
        notify(window, bar, TB_ENDTRACK);
    } else {
        return 0;
    }
    if (GetCapture() == window)
        ReleaseCapture();
    viewChanged(window, ViewContent);
    return 0;
}

LRESULT onCaptureChanged(HWND window, TrackbarState* bar) {
    if (!bar->dragging && !bar->paging)
        return 0;
    bar->dragging = bar->paging = false;
    notify(window, bar, TB_ENDTRACK);
    return 0;
}

// Keys move first, then tell the owner; at the end of the range nothing moves and nobody hears.
LRESULT onKeyDown(HWND window, TrackbarState* bar, WPARAM key) {
    int target, code;
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        target = bar->pos - bar->lineSize;
        code = TB_LINEUP;
        break;
    case VK_RIGHT:
    case VK_DOWN:
        target = bar->pos + bar->lineSize;
        code = TB_LINEDOWN;
        break;
    case VK_PRIOR:
        target = bar->pos - bar->pageSize;
        code = TB_PAGEUP;
        break;
    case VK_NEXT:
        target = bar->pos + bar->pageSize;
        code = TB_PAGEDOWN;
        break;
    case VK_HOME:
        target = bar->min;
        code = TB_TOP;
        break;
    case VK_END:
        target = bar->max;
        code = TB_BOTTOM;
        break;
    default: return 0;
    }
    bool decreasing = code == TB_LINEUP || code == TB_PAGEUP || code == TB_TOP;
    if (decreasing ? bar->pos <= bar->min : bar->pos >= bar->max)
        return 0;
    setPosition(window, bar, target);
    notify(window, bar, code);
    return 0;
}

LRESULT onKeyUp(HWND window, TrackbarState* bar, WPARAM key) {
    switch (key) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END: notify(window, bar, TB_ENDTRACK); return 0;
    default: return 0;
    }
}

// Where the thumb is, in client coordinates: the square the user presses to drag it.
LRESULT thumbRect(HWND window, const TrackbarState* bar, LPARAM out) {
    auto* rect = reinterpret_cast<RECT*>(out);
    if (!rect)
        return 0;
    RECT client = clientRectOf(*windowOf(window));
    int centre = trackbarThumbX(window, bar->pos);
    if (isVertical(window))
        *rect = RECT{2, centre - thumbHalfWidth, client.right - 2, centre + thumbHalfWidth + 1};
    else
        *rect = RECT{centre - thumbHalfWidth, 2, centre + thumbHalfWidth + 1, client.bottom - 2};
    return 0;
}

int placeOf(HWND window, LPARAM point) {
    return isVertical(window) ? GET_Y_LPARAM(point) : GET_X_LPARAM(point);
}

} // namespace

namespace layer {

int trackbarThumbX(HWND window, int position) {
    const TrackbarState* bar = trackbarState(window);
    if (!bar || bar->max <= bar->min)
        return trackbarMargin;
    double fraction = static_cast<double>(position - bar->min) / (bar->max - bar->min);
    return trackbarMargin + static_cast<int>(std::lround(fraction * channelLength(window)));
}

LRESULT CALLBACK trackbarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TrackbarState* bar = recordOf(window);
    if (!bar && message != WM_CREATE)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: return onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY: onDestroy(window, bar); return 0;
    case WM_LBUTTONDOWN: return onButtonDown(window, bar, placeOf(window, lParam));
    case WM_MOUSEMOVE: return onMouseMove(window, bar, placeOf(window, lParam));
    case WM_LBUTTONUP: return onButtonUp(window, bar);
    case WM_CAPTURECHANGED: return onCaptureChanged(window, bar);
    case WM_KEYDOWN: return onKeyDown(window, bar, wParam);
    case WM_KEYUP: return onKeyUp(window, bar, wParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: viewChanged(window, ViewFocus); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_ENABLE: viewChanged(window, ViewEnabled); return 0;
    case TBM_GETPOS: return bar->pos;
    case TBM_GETRANGEMIN: return bar->min;
    case TBM_GETRANGEMAX: return bar->max;
    case TBM_SETPOS: setPosition(window, bar, static_cast<int>(lParam)); return 0;
    case TBM_SETRANGE:
        return setRange(window, bar, static_cast<SHORT>(LOWORD(lParam)),
                        static_cast<SHORT>(HIWORD(lParam)));
    case TBM_SETRANGEMIN: return setRange(window, bar, static_cast<int>(lParam), bar->max);
    case TBM_SETRANGEMAX: return setRange(window, bar, bar->min, static_cast<int>(lParam));
    case TBM_SETPAGESIZE: return setPageSize(bar, lParam);
    case TBM_GETPAGESIZE: return bar->pageSize;
    case TBM_SETLINESIZE: return setLineSize(bar, lParam);
    case TBM_GETLINESIZE: return bar->lineSize;
    case TBM_GETTHUMBRECT: return thumbRect(window, bar, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace layer
