// EDIT (and RICHEDIT, the multi-line rich-edit class of riched32.dll): the text is the window
// text; the record keeps the selection and the limit. User edits and WM_SETTEXT on a
// single-line edit notify EN_UPDATE and EN_CHANGE; a rich edit reports no changes (its event
// mask starts empty) but does report focus.
#include "platform/controls/control_state.h"
#include "platform/layer.h"

#include <algorithm>
#include <cstring>

using namespace layer;

namespace {

constexpr int defaultLimit = 32767;

EditState* recordOf(HWND window) {
    return static_cast<EditState*>(controlRecord(window));
}

bool isMultiLine(HWND window) {
    return (windowOf(window)->style & ES_MULTILINE) != 0;
}
bool isRichEdit(HWND window) {
    return equalsNoCase(windowOf(window)->windowClass->name, RICHEDIT_CLASS10A);
}
int textLength(HWND window) {
    return static_cast<int>(windowOf(window)->text.size());
}

void notifyChanged(HWND window, EditState* edit) {
    viewChanged(window, ViewText);
    if (isRichEdit(window))
        return;
    notifyCommand(window, edit->owner, EN_UPDATE);
    notifyCommand(window, edit->owner, EN_CHANGE);
}

LRESULT onCreate(HWND window, const CREATESTRUCTA* cs) {
    int limit = isMultiLine(window) ? 0x7FFFFFFE : defaultLimit;
    setControlRecord(window, new EditState{.owner = cs->hwndParent, .limit = limit});
    return 0;
}

void onDestroy(HWND window, EditState* edit) {
    delete edit;
    setControlRecord(window, nullptr);
}

void setSelection(HWND window, EditState* edit, int start, int end) {
    int length = textLength(window);
    edit->selStart = std::clamp(start, 0, length);
    edit->selEnd = std::clamp(end, 0, length);
    viewChanged(window, ViewContent);
}

// EM_SETSEL: start -1 removes the selection; end -1 means the end of the text.
LRESULT setSelectionMessage(HWND window, EditState* edit, WPARAM start, LPARAM end) {
    int from = static_cast<int>(start);
    int to = static_cast<int>(end);
    if (from == -1) {
        setSelection(window, edit, edit->selEnd, edit->selEnd);
        return 0;
    }
    int length = textLength(window);
    if (to < 0)
        to = length;
    if (from < 0)
        from = length;
    setSelection(window, edit, from, to);
    return 0;
}

LRESULT getSelection(const EditState* edit, WPARAM start, LPARAM end) {
    int from = std::min(edit->selStart, edit->selEnd);
    int to = std::max(edit->selStart, edit->selEnd);
    if (start)
        *reinterpret_cast<DWORD*>(start) = static_cast<DWORD>(from);
    if (end)
        *reinterpret_cast<DWORD*>(end) = static_cast<DWORD>(to);
    return MAKELONG(from, to);
}

// Replaces the selection; false when the limit leaves no room.
bool replaceSelection(HWND window, EditState* edit, const std::string& insert) {
    std::string& text = windowOf(window)->text;
    int from = std::min(edit->selStart, edit->selEnd);
    int to = std::max(edit->selStart, edit->selEnd);
    int kept = static_cast<int>(text.size()) - (to - from);
    if (kept + static_cast<int>(insert.size()) > edit->limit)
        return false;
    text.replace(from, to - from, insert);
    edit->selStart = edit->selEnd = from + static_cast<int>(insert.size());
    return true;
}

LRESULT setText(HWND window, EditState* edit, LPCSTR text) {
    windowOf(window)->text = text ? text : "";
    edit->selStart = edit->selEnd = 0;
    viewChanged(window, ViewText);
    if (!isMultiLine(window))
        notifyChanged(window, edit);
    return TRUE;
}

LRESULT replaceSelectionMessage(HWND window, EditState* edit, LPCSTR text) {
    if (replaceSelection(window, edit, text ? text : ""))
        notifyChanged(window, edit);
    return 0;
}

void userEdit(HWND window, EditState* edit, const std::string& insert) {
    if (replaceSelection(window, edit, insert))
        notifyChanged(window, edit);
    else
        notifyCommand(window, edit->owner, EN_MAXTEXT);
}

void deleteAround(HWND window, EditState* edit, bool before) {
    if (edit->selStart == edit->selEnd) {
        int caret = edit->selEnd;
        if (before ? caret == 0 : caret == textLength(window))
            return;
        edit->selStart = before ? caret - 1 : caret + 1;
    }
    userEdit(window, edit, "");
}

LRESULT onChar(HWND window, EditState* edit, WPARAM code) {
    if (windowOf(window)->style & ES_READONLY)
        return 0;
    char c = static_cast<char>(code);
    if (c == '\b') {
        deleteAround(window, edit, true);
    } else if (c == '\r') {
        if (isMultiLine(window))
            userEdit(window, edit, "\r\n");
    } else if (static_cast<unsigned char>(c) >= 0x20) {
        userEdit(window, edit, std::string(1, c));
    }
    return 0;
}

LRESULT onKeyDown(HWND window, EditState* edit, WPARAM key) {
    bool extend = keyIsDown(VK_SHIFT);
    int caret = edit->selEnd;
    int length = textLength(window);
    switch (key) {
    case VK_UP: // one line: Up and Down move as Left and Right
    case VK_LEFT: caret = std::max(0, caret - 1); break;
    case VK_DOWN:
    case VK_RIGHT: caret = std::min(length, caret + 1); break;
    case VK_HOME: caret = 0; break;
    case VK_END: caret = length; break;
    case VK_DELETE:
        if (!(windowOf(window)->style & ES_READONLY))
            deleteAround(window, edit, false);
        return 0;
    default: return 0;
    }
    setSelection(window, edit, extend ? edit->selStart : caret, caret);
    return 0;
}

int characterAt(HWND window, int x) {
    Window* w = windowOf(window);
    int length = textLength(window);
    int width = clientRectOf(*w).right;
    int start = 2;
    if (w->style & ES_CENTER)
        start = (width - length * characterWidth) / 2;
    if (w->style & ES_RIGHT)
        start = width - 2 - length * characterWidth;
    return std::clamp((x - start + characterWidth / 2) / characterWidth, 0, length);
}

LRESULT onButtonDown(HWND window, EditState* edit, int x) {
    SetFocus(window);
    if (!(edit = recordOf(window)))
        return 0;
    int at = characterAt(window, x);
    setSelection(window, edit, at, at);
    edit->selecting = true;
    SetCapture(window);
    return 0;
}

LRESULT onMouseMove(HWND window, EditState* edit, int x) {
    if (edit->selecting)
        setSelection(window, edit, edit->selStart, characterAt(window, x));
    return 0;
}

LRESULT onButtonUp(EditState* edit) {
    if (!edit->selecting)
        return 0;
    edit->selecting = false;
    ReleaseCapture();
    return 0;
}

LRESULT onFocus(HWND window, EditState* edit, bool gained) {
    viewChanged(window, ViewFocus);
    notifyCommand(window, edit->owner, gained ? EN_SETFOCUS : EN_KILLFOCUS);
    return 0;
}

LRESULT dialogCode(HWND window) {
    LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    if (isMultiLine(window))
        code |= DLGC_WANTALLKEYS;
    return code;
}

LRESULT setReadOnly(HWND window, WPARAM readOnly) {
    Window* w = windowOf(window);
    if (readOnly)
        w->style |= ES_READONLY;
    else
        w->style &= ~static_cast<DWORD>(ES_READONLY);
    viewChanged(window, ViewContent);
    return TRUE;
}

} // namespace

namespace layer {

LRESULT CALLBACK editProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    EditState* edit = recordOf(window);
    if (!edit && message != WM_CREATE)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: return onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY: onDestroy(window, edit); return 0;
    case WM_SETTEXT: return setText(window, edit, reinterpret_cast<LPCSTR>(lParam));
    case WM_CHAR: return onChar(window, edit, wParam);
    case WM_KEYDOWN: return onKeyDown(window, edit, wParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return onButtonDown(window, edit, GET_X_LPARAM(lParam));
    case WM_MOUSEMOVE: return onMouseMove(window, edit, GET_X_LPARAM(lParam));
    case WM_LBUTTONUP: return onButtonUp(edit);
    case WM_CAPTURECHANGED: edit->selecting = false; return 0;
    case WM_SETFOCUS: return onFocus(window, edit, true);
    case WM_KILLFOCUS: return onFocus(window, edit, false);
    case WM_GETDLGCODE: return dialogCode(window);
    case WM_SETFONT: windowOf(window)->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(windowOf(window)->font);
    case WM_ENABLE: viewChanged(window, ViewEnabled); return 0;
    case EM_SETSEL: return setSelectionMessage(window, edit, wParam, lParam);
    case EM_GETSEL: return getSelection(edit, wParam, lParam);
    case EM_REPLACESEL:
        return replaceSelectionMessage(window, edit, reinterpret_cast<LPCSTR>(lParam));
    case EM_LIMITTEXT:
        edit->limit = wParam ? static_cast<int>(std::min<WPARAM>(wParam, 0x7FFFFFFE)) : 0x7FFFFFFE;
        return 0;
    case EM_SETREADONLY: return setReadOnly(window, wParam);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace layer
