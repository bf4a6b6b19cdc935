// COMBOBOX with an edit field (CBS_DROPDOWN; CBS_SIMPLE and CBS_DROPDOWNLIST alike, without
// typing in the last). The field's text is the window text. A pick from the open list or an
// arrow key moves the selection and sends CBN_SELCHANGE; typing changes only the text
// (CBN_EDITUPDATE, CBN_EDITCHANGE); CB_SETCURSEL tells nobody.
#include "platform/controls/control_state.h"
#include "platform/controls/item_list.h"
#include "platform/layer.h"

#include <algorithm>

using namespace layer;

namespace {

constexpr int fieldHeight = 21;
constexpr int systemFontItemHeight = 16;
constexpr int guiFontItemHeight = 13;

ComboBoxState* recordOf(HWND window) {
    return static_cast<ComboBoxState*>(controlRecord(window));
}
DWORD comboType(HWND window) {
    return windowOf(window)->style & 3;
}
bool canType(HWND window) {
    return comboType(window) != CBS_DROPDOWNLIST;
}
int fieldWidth(HWND window) {
    return static_cast<int>(clientRectOf(*windowOf(window)).right);
}

void setFieldText(HWND window, ComboBoxState* combo, const std::string& text) {
    windowOf(window)->text = text;
    combo->selStart = 0;
    combo->selEnd = static_cast<int>(text.size());
    viewChanged(window, ViewText);
}

// Every change of selection goes through here; only the user's notify.
void setSelection(HWND window, ComboBoxState* combo, int index, bool notify) {
    combo->items.selected = index;
    if (notify)
        combo->pickedLast = true;
    setFieldText(window, combo, index >= 0 ? combo->items.entries[index].text : std::string());
    viewChanged(window, ViewContent);
    if (notify)
        notifyCommand(window, combo->owner, CBN_SELCHANGE);
}

// The entry the typed text is the start of, or -1 (none for an empty field).
int entryStartingTheText(HWND window, const ComboBoxState* combo) {
    const std::string& text = windowOf(window)->text;
    return text.empty() ? -1 : findItem(combo->items, WPARAM(-1), text.c_str(), false);
}

// Typing into the field: the text changes, and the list follows it as the real platform's does,
// without telling anyone: while open, its selection moves to the first entry the text starts;
// closed, it has none. Right after a pick from the list the first edit leaves it as it is.
void typeIntoField(HWND window, ComboBoxState* combo, char c) {
    std::string& text = windowOf(window)->text;
    int from = std::min(combo->selStart, combo->selEnd);
    int to = std::max(combo->selStart, combo->selEnd);
    if (c == '\b' || c == '\x7F') {
        if (from == to) {
            if (c == '\b' && from > 0)
                --from;
            else if (c == '\x7F' && to < static_cast<int>(text.size()))
                ++to;
            else
                return;
        }
        text.erase(from, to - from);
    } else if (static_cast<unsigned char>(c) >= 0x20) {
        text.replace(from, to - from, 1, c);
        ++from;
    } else {
        return;
    }
    combo->selStart = combo->selEnd = from;
    viewChanged(window, ViewText);
    notifyCommand(window, combo->owner, CBN_EDITUPDATE);
    if (!(combo = recordOf(window)))
        return;
    if (combo->pickedLast)
        combo->pickedLast = false;
    else
        combo->items.selected = combo->dropped ? entryStartingTheText(window, combo) : -1;
    viewChanged(window, ViewContent);
    notifyCommand(window, combo->owner, CBN_EDITCHANGE);
}

LRESULT onCreate(HWND window, const CREATESTRUCTA* cs) {
    Window* w = windowOf(window);
    auto* combo = new ComboBoxState{.owner = cs->hwndParent,
                                    .fieldHeight = fieldHeight,
                                    .dropHeight = cs->cy,
                                    .itemHeight = systemFontItemHeight};
    setControlRecord(window, combo);
    // The window is the field; the list opens below it when dropped.
    if (comboType(window) != CBS_SIMPLE) {
        RECT insets = nonClientInsets(*w);
        w->rect.bottom = w->rect.top + fieldHeight + insets.top + insets.bottom;
    }
    w->text.clear();
    return 0;
}

void onDestroy(HWND window, ComboBoxState* combo) {
    delete combo;
    setControlRecord(window, nullptr);
}

void openList(HWND window, ComboBoxState* combo) {
    if (combo->dropped || comboType(window) == CBS_SIMPLE)
        return;
    notifyCommand(window, combo->owner, CBN_DROPDOWN);
    if (!(combo = recordOf(window)))
        return;
    combo->dropped = true;
    // A field that can be typed in picks the entry its text starts, and then shows that entry.
    if (canType(window)) {
        combo->items.selected = entryStartingTheText(window, combo);
        if (combo->items.selected >= 0) {
            setFieldText(window, combo, combo->items.entries[combo->items.selected].text);
            combo->pickedLast = false;
        }
    }
    viewChanged(window, ViewContent);
    SetCapture(window);
}

void closeList(HWND window, ComboBoxState* combo, bool accepted) {
    if (!combo->dropped)
        return;
    combo->dropped = false;
    viewChanged(window, ViewContent);
    if (GetCapture() == window)
        ReleaseCapture();
    notifyCommand(window, combo->owner, accepted ? CBN_SELENDOK : CBN_SELENDCANCEL);
    notifyCommand(window, combo->owner, CBN_CLOSEUP);
}

int listRowAt(HWND window, const ComboBoxState* combo, int x, int y) {
    int listHeight = std::min(itemCount(combo->items) * combo->itemHeight,
                              combo->dropHeight - combo->fieldHeight);
    if (x < 0 || x >= fieldWidth(window) || y < combo->fieldHeight ||
        y >= combo->fieldHeight + listHeight)
        return -1;
    return (y - combo->fieldHeight) / combo->itemHeight;
}

LRESULT onButtonDown(HWND window, ComboBoxState* combo, int x, int y) {
    if (combo->dropped) {
        int row = listRowAt(window, combo, x, y);
        if (row >= 0) { // a pick from the list
            setSelection(window, combo, row, true);
            if ((combo = recordOf(window)))
                closeList(window, combo, true);
        } else {
            closeList(window, combo, false);
        }
        return 0;
    }
    SetFocus(window);
    if (!(combo = recordOf(window)))
        return 0;
    bool onArrow = x >= fieldWidth(window) - comboArrowWidth;
    if (onArrow || !canType(window)) {
        openList(window, combo);
        return 0;
    }
    // In the field the click puts the caret where it lands, after the focus selected the text.
    int length = static_cast<int>(windowOf(window)->text.size());
    combo->selStart = combo->selEnd = std::clamp((x - 2 + characterWidth / 2) / characterWidth, 0, length);
    viewChanged(window, ViewText);
    return 0;
}

LRESULT moveSelection(HWND window, ComboBoxState* combo, int step) {
    int count = itemCount(combo->items);
    if (count == 0)
        return 0;
    int current = combo->items.selected;
    int target = current < 0 ? 0 : std::clamp(current + step, 0, count - 1);
    if (target != current)
        setSelection(window, combo, target, true);
    return 0;
}

// Left, Right, Home and End move the caret in a field that can be typed in, from the caret
// (the selection's moving end), Shift keeping the other end; in a list-only box they pick.
LRESULT moveCaretOrPick(HWND window, ComboBoxState* combo, WPARAM key) {
    if (!canType(window)) {
        int count = itemCount(combo->items);
        if (key == VK_HOME || key == VK_END)
            return moveSelection(window, combo, key == VK_HOME ? -count : count);
        return moveSelection(window, combo, key == VK_LEFT ? -1 : 1);
    }
    const int length = static_cast<int>(windowOf(window)->text.size());
    int caret = combo->selEnd;
    switch (key) {
    case VK_LEFT: caret = std::max(0, caret - 1); break;
    case VK_RIGHT: caret = std::min(length, caret + 1); break;
    case VK_HOME: caret = 0; break;
    default: caret = length; break;
    }
    if (!keyIsDown(VK_SHIFT))
        combo->selStart = caret;
    combo->selEnd = caret;
    viewChanged(window, ViewText);
    return 0;
}

LRESULT onKeyDown(HWND window, ComboBoxState* combo, WPARAM key) {
    bool alt = keyIsDown(VK_MENU);
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END: return moveCaretOrPick(window, combo, key);
    case VK_F4: combo->dropped ? closeList(window, combo, true) : openList(window, combo); return 0;
    case VK_UP:
    case VK_DOWN:
        if (alt) {
            combo->dropped ? closeList(window, combo, true) : openList(window, combo);
            return 0;
        }
        return moveSelection(window, combo, key == VK_UP ? -1 : 1);
    case VK_PRIOR:
    case VK_NEXT: {
        // A page of the list, less one row, as the list the real platform drops shows.
        int page = std::max(1, (combo->dropHeight - combo->fieldHeight) / combo->itemHeight);
        return moveSelection(window, combo, (key == VK_PRIOR ? -1 : 1) * std::max(1, page - 1));
    }
    case VK_RETURN: closeList(window, combo, true); return 0;
    case VK_ESCAPE: closeList(window, combo, false); return 0;
    case VK_DELETE:
        if (canType(window))
            typeIntoField(window, combo, '\x7F');
        return 0;
    default: return 0;
    }
}

LRESULT onChar(HWND window, ComboBoxState* combo, WPARAM code) {
    if (canType(window))
        typeIntoField(window, combo, static_cast<char>(code));
    return 0;
}

LRESULT onFocus(HWND window, ComboBoxState* combo, bool gained) {
    if (gained && !combo->beenFocused) {
        combo->beenFocused = true;
        combo->selStart = 0;
        combo->selEnd = static_cast<int>(windowOf(window)->text.size());
    } else if (!gained) {
        closeList(window, combo, false);
        if (!(combo = recordOf(window)))
            return 0;
    }
    viewChanged(window, ViewFocus);
    notifyCommand(window, combo->owner, gained ? CBN_SETFOCUS : CBN_KILLFOCUS);
    return 0;
}

LRESULT insertString(HWND window, ComboBoxState* combo, int index, LPCSTR text, bool add) {
    bool sorted = add && (windowOf(window)->style & CBS_SORT);
    int at = insertItem(combo->items, add ? -1 : index, text, sorted);
    if (at < 0)
        return CB_ERR;
    viewChanged(window, ViewContent);
    return at;
}

LRESULT deleteString(HWND window, ComboBoxState* combo, WPARAM index) {
    int at = static_cast<int>(index);
    if (!removeItem(combo->items, at))
        return CB_ERR;
    viewChanged(window, ViewContent);
    return itemCount(combo->items);
}

LRESULT resetContent(HWND window, ComboBoxState* combo) {
    clearItems(combo->items);
    setSelection(window, combo, -1, false);
    return CB_OKAY;
}

// Out of range or -1: the selection and the field are cleared and CB_ERR returned.
LRESULT setCurSel(HWND window, ComboBoxState* combo, WPARAM index) {
    bool valid = validIndex(combo->items, index);
    setSelection(window, combo, valid ? static_cast<int>(index) : -1, false);
    return valid ? static_cast<LRESULT>(index) : CB_ERR;
}

LRESULT selectString(HWND window, ComboBoxState* combo, WPARAM start, LPCSTR text) {
    int found = findItem(combo->items, start, text, false);
    if (found < 0)
        return CB_ERR;
    setSelection(window, combo, found, false);
    combo->pickedLast = false; // the entry was copied into the field
    return found;
}

LRESULT showDropDown(HWND window, ComboBoxState* combo, WPARAM show) {
    if (show)
        openList(window, combo);
    else
        closeList(window, combo, false);
    return TRUE;
}

LRESULT getEditSelection(const ComboBoxState* combo, WPARAM start, LPARAM end) {
    int from = std::min(combo->selStart, combo->selEnd);
    int to = std::max(combo->selStart, combo->selEnd);
    if (start)
        *reinterpret_cast<DWORD*>(start) = static_cast<DWORD>(from);
    if (end)
        *reinterpret_cast<DWORD*>(end) = static_cast<DWORD>(to);
    return MAKELONG(from, to);
}

LRESULT setEditSelection(HWND window, ComboBoxState* combo, LPARAM range) {
    int length = static_cast<int>(windowOf(window)->text.size());
    int from = static_cast<short>(LOWORD(range));
    int to = static_cast<short>(HIWORD(range));
    combo->selStart = from < 0 ? length : std::min(from, length);
    combo->selEnd = to < 0 ? length : std::min(to, length);
    viewChanged(window, ViewContent);
    return TRUE;
}

LRESULT onSetFont(HWND window, ComboBoxState* combo, WPARAM font) {
    windowOf(window)->font = reinterpret_cast<HFONT>(font);
    combo->itemHeight = font ? guiFontItemHeight : systemFontItemHeight;
    return 0;
}

LRESULT onCaptureChanged(HWND window, ComboBoxState* combo, LPARAM newCapture) {
    if (combo->dropped && reinterpret_cast<HWND>(newCapture) != window)
        closeList(window, combo, false);
    return 0;
}

} // namespace

namespace layer {

LRESULT CALLBACK comboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ComboBoxState* combo = recordOf(window);
    if (!combo && message != WM_CREATE)
        return DefWindowProcA(window, message, wParam, lParam);
    auto text = reinterpret_cast<LPCSTR>(lParam);
    switch (message) {
    case WM_CREATE: return onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY: onDestroy(window, combo); return 0;
    case WM_SETTEXT: setFieldText(window, combo, text ? text : ""); return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return onButtonDown(window, combo, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    case WM_CAPTURECHANGED: return onCaptureChanged(window, combo, lParam);
    case WM_KEYDOWN: return onKeyDown(window, combo, wParam);
    case WM_CHAR: return onChar(window, combo, wParam);
    case WM_SETFOCUS: return onFocus(window, combo, true);
    case WM_KILLFOCUS: return onFocus(window, combo, false);
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_WANTARROWS | (combo->dropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFONT: return onSetFont(window, combo, wParam);
    case WM_GETFONT: return reinterpret_cast<LRESULT>(windowOf(window)->font);
    case WM_ENABLE: viewChanged(window, ViewEnabled); return 0;
    case CB_ADDSTRING: return insertString(window, combo, -1, text, true);
    case CB_INSERTSTRING: return insertString(window, combo, static_cast<int>(wParam), text, false);
    case CB_DELETESTRING: return deleteString(window, combo, wParam);
    case CB_RESETCONTENT: return resetContent(window, combo);
    case CB_GETCOUNT: return itemCount(combo->items);
    case CB_SETCURSEL: return setCurSel(window, combo, wParam);
    case CB_GETCURSEL: return combo->items.selected;
    case CB_SETITEMDATA: return setItemData(combo->items, wParam, lParam) ? CB_OKAY : CB_ERR;
    case CB_GETITEMDATA: return itemData(combo->items, wParam);
    case CB_GETLBTEXT: return copyItem(combo->items, wParam, reinterpret_cast<LPSTR>(lParam));
    case CB_GETLBTEXTLEN: return copyItem(combo->items, wParam, nullptr);
    case CB_FINDSTRING: return findItem(combo->items, wParam, text, false);
    case CB_FINDSTRINGEXACT: return findItem(combo->items, wParam, text, true);
    case CB_SELECTSTRING: return selectString(window, combo, wParam, text);
    case CB_SHOWDROPDOWN: return showDropDown(window, combo, wParam);
    case CB_GETDROPPEDSTATE: return combo->dropped;
    // -1: the selection field; any other index: a row of the list.
    case CB_GETITEMHEIGHT: return int(wParam) == -1 ? combo->fieldHeight : combo->itemHeight;
    case CB_GETEDITSEL: return getEditSelection(combo, wParam, lParam);
    case CB_SETEDITSEL: return setEditSelection(window, combo, lParam);
    case CB_LIMITTEXT: return TRUE;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace layer
