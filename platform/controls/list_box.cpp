// LISTBOX, single selection. The program's LB_SETCURSEL tells nobody; a click on an item or a
// selection moved by the keyboard sends LBN_SELCHANGE when the box has LBS_NOTIFY.
#include "platform/controls/control_state.h"
#include "platform/controls/item_list.h"
#include "platform/layer.h"

#include <algorithm>

using namespace layer;

namespace {

constexpr int systemFontItemHeight = 16;
constexpr int guiFontItemHeight = 13;

ListBoxState* recordOf(HWND window) {
    return static_cast<ListBoxState*>(controlRecord(window));
}
bool notifies(HWND window) {
    return (windowOf(window)->style & LBS_NOTIFY) != 0;
}

int visibleRows(HWND window, const ListBoxState* list) {
    return std::max(1, static_cast<int>(clientRectOf(*windowOf(window)).bottom) / list->itemHeight);
}

void ensureVisible(HWND window, ListBoxState* list, int index) {
    if (index < 0)
        return;
    int rows = visibleRows(window, list);
    if (index < list->topIndex)
        list->topIndex = index;
    if (index >= list->topIndex + rows)
        list->topIndex = index - rows + 1;
}

// Every change of selection goes through here; only the user's notify.
void setSelection(HWND window, ListBoxState* list, int index, bool notify) {
    bool changed = list->items.selected != index;
    list->items.selected = index;
    ensureVisible(window, list, index);
    viewChanged(window, ViewContent);
    if (notify && changed && notifies(window))
        notifyCommand(window, list->owner, LBN_SELCHANGE);
}

// Without LBS_NOINTEGRALHEIGHT the box shows whole rows only: it drops the part of its height
// a row does not fill, from the height it has now, whenever its row height is set.
void fitWholeRows(HWND window, const ListBoxState* list) {
    Window* w = windowOf(window);
    if (w->style & LBS_NOINTEGRALHEIGHT)
        return;
    int height = clientRectOf(*w).bottom;
    int rest = height % list->itemHeight;
    if (height > list->itemHeight && rest) {
        RECT r = w->rect;
        MoveWindow(window, r.left, r.top, r.right - r.left, r.bottom - r.top - rest, TRUE);
    }
}

LRESULT onCreate(HWND window, const CREATESTRUCTA* cs) {
    auto* list = new ListBoxState{.owner = cs->hwndParent, .itemHeight = systemFontItemHeight};
    setControlRecord(window, list);
    fitWholeRows(window, list);
    return 0;
}

void onDestroy(HWND window, ListBoxState* list) {
    delete list;
    setControlRecord(window, nullptr);
}

LRESULT insertString(HWND window, ListBoxState* list, int index, LPCSTR text, bool add) {
    bool sorted = add && (windowOf(window)->style & LBS_SORT);
    int at = insertItem(list->items, add ? -1 : index, text, sorted);
    if (at < 0)
        return LB_ERR;
    viewChanged(window, ViewContent);
    return at;
}

LRESULT deleteString(HWND window, ListBoxState* list, WPARAM index) {
    int at = static_cast<int>(index);
    if (!removeItem(list->items, at))
        return LB_ERR;
    list->topIndex = std::min(list->topIndex, std::max(0, itemCount(list->items) - 1));
    viewChanged(window, ViewContent);
    return itemCount(list->items);
}

LRESULT resetContent(HWND window, ListBoxState* list) {
    clearItems(list->items);
    list->topIndex = 0;
    viewChanged(window, ViewContent);
    return 0;
}

LRESULT setCurSel(HWND window, ListBoxState* list, WPARAM index) {
    int at = static_cast<int>(index);
    if (at == -1) {
        setSelection(window, list, -1, false);
        return LB_ERR;
    }
    if (!validIndex(list->items, index))
        return LB_ERR;
    setSelection(window, list, at, false);
    return at;
}

LRESULT setTopIndex(HWND window, ListBoxState* list, WPARAM index) {
    if (!validIndex(list->items, index))
        return LB_ERR;
    list->topIndex = static_cast<int>(index);
    viewChanged(window, ViewContent);
    return LB_OKAY;
}

LRESULT selectString(HWND window, ListBoxState* list, WPARAM start, LPCSTR text) {
    int found = findItem(list->items, start, text, false);
    if (found < 0)
        return LB_ERR;
    setSelection(window, list, found, false);
    return found;
}

int itemAt(const ListBoxState* list, int y) {
    if (y < 0)
        return -1;
    int index = list->topIndex + y / list->itemHeight;
    return index < itemCount(list->items) ? index : -1;
}

LRESULT onButtonDown(HWND window, ListBoxState* list, int y) {
    SetFocus(window);
    if (!(list = recordOf(window)))
        return 0;
    int index = itemAt(list, y);
    if (index >= 0)
        setSelection(window, list, index, false);
    list->tracking = index >= 0;
    SetCapture(window);
    return 0;
}

LRESULT onMouseMove(HWND window, ListBoxState* list, int y) {
    if (!list->tracking)
        return 0;
    int index = itemAt(
        list, std::clamp(y, 0, static_cast<int>(clientRectOf(*windowOf(window)).bottom) - 1));
    if (index >= 0)
        setSelection(window, list, index, false);
    return 0;
}

// The click ends on the button-up: that is when the owner hears of it.
LRESULT onButtonUp(HWND window, ListBoxState* list) {
    bool clickedItem = list->tracking;
    list->tracking = false;
    if (GetCapture() == window)
        ReleaseCapture();
    if (clickedItem && notifies(window))
        notifyCommand(window, list->owner, LBN_SELCHANGE);
    return 0;
}

LRESULT onKeyDown(HWND window, ListBoxState* list, WPARAM key) {
    int count = itemCount(list->items);
    if (count == 0)
        return 0;
    int current = list->items.selected;
    int page = std::max(1, visibleRows(window, list) - 1);
    int target;
    switch (key) {
    case VK_LEFT: // in a list of one column, Left and Right are Up and Down
    case VK_UP: target = current < 0 ? 0 : current - 1; break;
    case VK_RIGHT:
    case VK_DOWN: target = current + 1; break;
    case VK_PRIOR: target = current < 0 ? 0 : current - page; break;
    case VK_NEXT: target = current < 0 ? 0 : current + page; break;
    case VK_HOME: target = 0; break;
    case VK_END: target = count - 1; break;
    default: return 0;
    }
    // The owner hears of every navigation key, even one that leaves the selection where it was
    // (the top of the list, a single row), as the real platform tells it.
    setSelection(window, list, std::clamp(target, 0, count - 1), false);
    if (notifies(window))
        notifyCommand(window, list->owner, LBN_SELCHANGE);
    return 0;
}

LRESULT onChar(HWND window, ListBoxState* list, WPARAM code) {
    char prefix[2] = {static_cast<char>(code), '\0'};
    if (static_cast<unsigned char>(prefix[0]) < 0x20)
        return 0;
    int found = findItem(list->items, static_cast<WPARAM>(list->items.selected), prefix, false);
    if (found >= 0)
        setSelection(window, list, found, true);
    return 0;
}

LRESULT onFocus(HWND window, ListBoxState* list, bool gained) {
    viewChanged(window, ViewFocus);
    if (notifies(window))
        notifyCommand(window, list->owner, gained ? LBN_SETFOCUS : LBN_KILLFOCUS);
    return 0;
}

LRESULT onSetFont(HWND window, ListBoxState* list, WPARAM font) {
    windowOf(window)->font = reinterpret_cast<HFONT>(font);
    list->itemHeight = font ? guiFontItemHeight : systemFontItemHeight;
    fitWholeRows(window, list);
    viewChanged(window, ViewContent);
    return 0;
}

} // namespace

namespace layer {

LRESULT CALLBACK listBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ListBoxState* list = recordOf(window);
    if (!list && message != WM_CREATE)
        return DefWindowProcA(window, message, wParam, lParam);
    auto text = reinterpret_cast<LPCSTR>(lParam);
    switch (message) {
    case WM_CREATE: return onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY: onDestroy(window, list); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return onButtonDown(window, list, GET_Y_LPARAM(lParam));
    case WM_MOUSEMOVE: return onMouseMove(window, list, GET_Y_LPARAM(lParam));
    case WM_LBUTTONUP: return onButtonUp(window, list);
    case WM_CAPTURECHANGED: list->tracking = false; return 0;
    case WM_KEYDOWN: return onKeyDown(window, list, wParam);
    case WM_CHAR: return onChar(window, list, wParam);
    case WM_SETFOCUS: return onFocus(window, list, true);
    case WM_KILLFOCUS: return onFocus(window, list, false);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT: return onSetFont(window, list, wParam);
    case WM_GETFONT: return reinterpret_cast<LRESULT>(windowOf(window)->font);
    case WM_ENABLE: viewChanged(window, ViewEnabled); return 0;
    case LB_ADDSTRING: return insertString(window, list, -1, text, true);
    case LB_INSERTSTRING: return insertString(window, list, static_cast<int>(wParam), text, false);
    case LB_DELETESTRING: return deleteString(window, list, wParam);
    case LB_RESETCONTENT: return resetContent(window, list);
    case LB_SETCURSEL: return setCurSel(window, list, wParam);
    case LB_GETCURSEL: return list->items.selected;
    case LB_GETSEL:
        return validIndex(list->items, wParam) ? list->items.selected == static_cast<int>(wParam)
                                               : LB_ERR;
    case LB_GETCOUNT: return itemCount(list->items);
    case LB_GETTEXT: return copyItem(list->items, wParam, reinterpret_cast<LPSTR>(lParam));
    case LB_GETTEXTLEN: return copyItem(list->items, wParam, nullptr);
    case LB_SETITEMDATA: return setItemData(list->items, wParam, lParam) ? TRUE : LB_ERR;
    case LB_GETITEMDATA: return itemData(list->items, wParam);
    case LB_GETTOPINDEX: return list->topIndex;
    case LB_GETITEMHEIGHT: return list->itemHeight;
    case LB_SETTOPINDEX: return setTopIndex(window, list, wParam);
    case LB_FINDSTRING: return findItem(list->items, wParam, text, false);
    case LB_FINDSTRINGEXACT: return findItem(list->items, wParam, text, true);
    case LB_SELECTSTRING: return selectString(window, list, wParam, text);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace layer
