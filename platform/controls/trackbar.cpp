// msctls_trackbar32. The position always stays inside the range. The program's TBM_SETPOS and
// TBM_SETRANGE tell nobody; the user's drags, channel clicks and keys send WM_HSCROLL (WM_VSCROLL
// when vertical) with the TB_* code, and TB_ENDTRACK when the button or key comes up.
#include "platform/controls/control_state.h"
#include "platform/layer.h"

#include <algorithm>
#include <cmath>

using namespace layer;

namespace {

TrackbarState* recordOf(HWND window) {
    return static_cast<TrackbarState*>(controlRecord(window));
}
bool isVertical(HWND window) {
    return (windowOf(window)->style & TBS_VERT) != 0;
}

// Lengths along the channel and across it, whichever way the bar lies.
struct Along {
    int along;
    int across;
};
Along clientSize(HWND window) {
    RECT client = clientRectOf(*windowOf(window));
    return isVertical(window) ? Along{int(client.bottom), int(client.right)}
                              : Along{int(client.right), int(client.bottom)};
}

// The real platform's classic geometry. The thumb is 21 pixels long across the bar (23 with a
// selection range), less in a bar too thin for it; the channel starts a quarter of that plus 3
// in from each end; the thumb is half as wide (odd) and its leading edge travels the channel
// less its width.
int thumbLength(HWND window) {
    const DWORD style = windowOf(window)->style;
    int length = (style & TBS_ENABLESELRANGE) ? 23 : 21;
    int across = clientSize(window).across;
    if (!(style & TBS_FIXEDLENGTH) && across < length)
        length = across > 9 ? across - 5 : 4;
    return length;
}
int thumbWidth(HWND window) {
    return (thumbLength(window) / 2) | 1;
}
int channelStart(HWND window) {
    return thumbLength(window) / 4 + 3;
}
int channelEnd(HWND window) {
    return clientSize(window).along - channelStart(window);
}
int thumbLead(HWND window, const TrackbarState* bar, int position) {
    const int range = std::max(1, bar->max - bar->min);
    const int travel = channelEnd(window) - channelStart(window) - thumbWidth(window);
    return channelStart(window) + travel * (position - bar->min) / range;
}
int thumbAcross(HWND window) {
    const DWORD style = windowOf(window)->style;
    return (style & (TBS_BOTH | TBS_TOP)) && !(style & TBS_NOTICKS) ? 10 : 2;
}

// The position under a place along the bar: the thumb's centre travels between the channel's
// ends less half the thumb, rounded half up.
int positionAt(HWND window, const TrackbarState* bar, int place) {
    const int half = thumbWidth(window) / 2;
    const double width = channelEnd(window) - channelStart(window) - 2 * half - 1;
    const double range = bar->max - bar->min;
    double position = range * (place - channelStart(window) - half) / width + bar->min;
    position = std::clamp(position, double(bar->min), double(std::max(bar->min, bar->max)));
    return static_cast<int>(std::floor(position + 0.5));
}

// Where the pointer is along the bar and across it.
Along placeOf(HWND window, LPARAM point) {
    int x = GET_X_LPARAM(point), y = GET_Y_LPARAM(point);
    return isVertical(window) ? Along{y, x} : Along{x, y};
}

bool onThumb(HWND window, const TrackbarState* bar, Along at) {
    const int lead = thumbLead(window, bar, bar->pos), top = thumbAcross(window);
    return at.along >= lead && at.along < lead + thumbWidth(window) && at.across >= top &&
           at.across < top + thumbLength(window);
}

// A click beside the thumb, within the channel's length and the thumb's breadth, pages towards
// it: negative before the thumb, positive after, 0 elsewhere or where it converts to the
// thumb's own position.
int pageDirection(HWND window, const TrackbarState* bar, Along at) {
    const int top = thumbAcross(window);
    if (at.along < channelStart(window) || at.along >= channelEnd(window) || at.across < top ||
        at.across >= top + thumbLength(window))
        return 0;
    return positionAt(window, bar, at.along) - bar->pos;
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

// A page towards the pointer, as a click beside the thumb does; at the end nothing moves and
// nobody hears.
void pageTowards(HWND window, TrackbarState* bar, int direction) {
    if (direction < 0 ? bar->pos <= bar->min : bar->pos >= bar->max)
        return;
    setPosition(window, bar, bar->pos + (direction < 0 ? -bar->pageSize : bar->pageSize));
    notify(window, bar, direction < 0 ? TB_PAGEUP : TB_PAGEDOWN);
}

LRESULT onButtonDown(HWND window, TrackbarState* bar, Along at) {
    SetFocus(window);
    if (!(bar = recordOf(window)))
        return 0;
    if (onThumb(window, bar, at)) {
        bar->dragging = true;
        SetCapture(window);
        viewChanged(window, ViewContent);
        return 0;
    }
    int direction = pageDirection(window, bar, at);
    if (direction == 0)
        return 0; // beside the channel, or on the thumb's own position: nothing
    bar->paging = true;
    pageTowards(window, bar, direction);
    SetCapture(window);
    return 0;
}

LRESULT onMouseMove(HWND window, TrackbarState* bar, Along at) {
    if (!bar->dragging)
        return 0;
    int position = positionAt(window, bar, at.along);
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

// Where the thumb is, in client coordinates: the rectangle the user presses to drag it.
LRESULT thumbRect(HWND window, LPARAM out) {
    if (auto* rect = reinterpret_cast<RECT*>(out))
        *rect = trackbarThumbRect(window);
    return 0;
}

} // namespace

namespace layer {

RECT trackbarThumbRect(HWND window) {
    const TrackbarState* bar = trackbarState(window);
    if (!bar)
        return RECT{};
    const int lead = thumbLead(window, bar, bar->pos), top = thumbAcross(window);
    const int width = thumbWidth(window), length = thumbLength(window);
    return isVertical(window) ? RECT{top, lead, top + length, lead + width}
                              : RECT{lead, top, lead + width, top + length};
}

RECT trackbarChannelRect(HWND window) {
    const int start = channelStart(window), end = channelEnd(window);
    const DWORD style = windowOf(window)->style;
    const bool ticks = !(style & TBS_NOTICKS);
    int top = thumbLength(window) / 2 - 1; // the channel is 4 pixels thick
    if (style & TBS_BOTH)
        top += ticks ? 9 : 1;
    else if (style & TBS_TOP)
        top += ticks ? 10 : 2;
    return isVertical(window) ? RECT{top, start, top + 4, end} : RECT{start, top, end, top + 4};
}

int trackbarPlaceOf(HWND window, int position) {
    const TrackbarState* bar = trackbarState(window);
    if (!bar)
        return 0;
    const int half = thumbWidth(window) / 2;
    const int width = channelEnd(window) - channelStart(window) - 2 * half - 1;
    const int range = std::max(1, bar->max - bar->min);
    position = std::clamp(position, bar->min, std::max(bar->min, bar->max));
    return channelStart(window) + half +
           static_cast<int>(std::lround(double(width) * (position - bar->min) / range));
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
    case TBM_GETTHUMBRECT: return thumbRect(window, lParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace layer
