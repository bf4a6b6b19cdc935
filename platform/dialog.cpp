// The dialog manager: modal dialogs from templates in dialog units, the default dialog
// procedure, keyboard navigation (Tab, Enter, Esc), and the dialog item helpers.
#include "platform/layer.h"

#include <algorithm>

#include <cstring>

using namespace layer;

namespace {

// As MapDialogRect does it: MulDiv, which rounds to the nearest pixel.
int mulDiv(int value, int numerator, int denominator) {
    long long product = static_cast<long long>(value) * numerator;
    long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}
int toPixelsX(int units) {
    return mulDiv(units, dialogBaseX, 4);
}
int toPixelsY(int units) {
    return mulDiv(units, dialogBaseY, 8);
}

DialogState* dialogOf(HWND dialog) {
    Window* w = windowOf(dialog);
    return w ? w->dialog.get() : nullptr;
}

bool canTakeTab(HWND control) {
    Window* w = windowOf(control);
    return w && (w->style & WS_TABSTOP) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED);
}

// The next (or previous) tab stop after `from`, round the dialog; nullptr when there is none.
HWND nextTabStop(HWND dialog, HWND from, bool previous) {
    Window* d = windowOf(dialog);
    if (!d)
        return nullptr;
    const std::vector<HWND>& controls = d->children;
    int count = static_cast<int>(controls.size());
    int start = -1;
    for (int i = 0; i < count; ++i) {
        if (controls[i] == from)
            start = i;
    }
    if (start < 0)
        start = previous ? 0 : count - 1;
    for (int step = 1; step <= count; ++step) {
        int i = ((previous ? start - step : start + step) % count + count) % count;
        if (canTakeTab(controls[i]))
            return controls[i];
    }
    return nullptr;
}

// The next (or previous) visible, enabled control of `from`'s group, round the group: a group
// runs from a control with WS_GROUP up to the next one, round the end of the list. `from`
// itself when there is no other.
HWND nextInGroup(HWND dialog, HWND from, bool previous) {
    Window* d = windowOf(dialog);
    if (!d)
        return nullptr;
    const std::vector<HWND>& controls = d->children;
    const int count = static_cast<int>(controls.size());
    int at = -1;
    for (int i = 0; i < count; ++i)
        if (controls[i] == from)
            at = i;
    if (at < 0)
        return nullptr;
    auto startsGroup = [&](int i) { return (windowOf(controls[i])->style & WS_GROUP) != 0; };
    int start = (at + 1) % count; // no WS_GROUP anywhere: one group of all
    for (int k = 0; k < count; ++k) {
        if (startsGroup((at - k + count) % count)) {
            start = (at - k + count) % count;
            break;
        }
    }
    std::vector<int> members;
    for (int k = 0; k < count; ++k) {
        int i = (start + k) % count;
        if (k > 0 && startsGroup(i))
            break;
        members.push_back(i);
    }
    const int size = static_cast<int>(members.size());
    const int here = static_cast<int>(std::find(members.begin(), members.end(), at) - members.begin());
    for (int k = 1; k < size; ++k) {
        const Window* w = windowOf(controls[members[((here + (previous ? -k : k)) % size + size) % size]]);
        if ((w->style & WS_VISIBLE) && !(w->style & WS_DISABLED))
            return w->handle;
    }
    return from;
}

// An arrow key in a dialog: the focus to the next control of the group, a radio button so
// reached checked.
void moveFocusInGroup(HWND dialog, HWND from, bool back) {
    HWND next = nextInGroup(dialog, from, back);
    if (!next)
        return;
    if (sendMessage(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
        SetFocus(next);
        if (sendMessage(next, BM_GETCHECK, 0, 0) != BST_CHECKED)
            sendMessage(next, BM_CLICK, 0, 0);
    } else {
        sendMessage(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), 1);
    }
}

// The dialog manager's way of focusing a control: an edit gets all its text selected.
void focusControl(HWND control) {
    if (!control)
        return;
    if (sendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        sendMessage(control, EM_SETSEL, 0, -1);
    SetFocus(control);
}

HWND findDefaultButton(HWND dialog) {
    for (HWND control : windowOf(dialog)->children) {
        if (sendMessage(control, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)
            return control;
    }
    return nullptr;
}

void restoreFocus(HWND dialog, DialogState* d) {
    HWND target = d->savedFocus;
    if (!windowOf(target) || !isDescendant(dialog, target) || !canTakeTab(target))
        target = nextTabStop(dialog, nullptr, false);
    if (target)
        focusControl(target);
}

LRESULT onActivate(HWND dialog, DialogState* d, WPARAM state) {
    HWND focus = GetFocus();
    if (LOWORD(state) == WA_INACTIVE) {
        if (isDescendant(dialog, focus))
            d->savedFocus = focus;
    } else if (!isDescendant(dialog, focus)) {
        restoreFocus(dialog, d);
    }
    return 0;
}

LRESULT getDefaultId(HWND dialog, DialogState* d) {
    if (d->defaultId)
        return MAKELONG(d->defaultId, DC_HASDEFID);
    if (HWND button = findDefaultButton(dialog))
        return MAKELONG(GetDlgCtrlID(button), DC_HASDEFID);
    return 0;
}

LRESULT nextControl(HWND dialog, WPARAM which, LPARAM byHandle) {
    HWND target = LOWORD(byHandle) ? reinterpret_cast<HWND>(which)
                                   : nextTabStop(dialog, GetFocus(), which != 0);
    focusControl(target);
    return 0;
}

// What the dialog manager does when the dialog procedure leaves a message alone.
LRESULT defaultDialogMessage(HWND dialog, DialogState* d, UINT message, WPARAM wParam,
                             LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return 0;
    case WM_ACTIVATE: return onActivate(dialog, d, wParam);
    case WM_SETFOCUS: restoreFocus(dialog, d); return 0;
    case DM_GETDEFID: return getDefaultId(dialog, d);
    case DM_SETDEFID: d->defaultId = static_cast<int>(wParam); return TRUE;
    case WM_NEXTDLGCTL: return nextControl(dialog, wParam, lParam);
    case WM_SETFONT: d->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(d->font);
    default: return DefWindowProcA(dialog, message, wParam, lParam);
    }
}

bool returnsProcResult(UINT message) {
    return message == WM_INITDIALOG || (message >= WM_CTLCOLOREDIT && message <= WM_CTLCOLORSTATIC);
}

// The pixel rectangle of the dialog window for a template, placed as the template asks.
RECT dialogRect(const DialogResource& t, HWND owner) {
    Window probe{};
    probe.style = t.style;
    probe.exStyle = t.exStyle | ((t.style & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
    RECT insets = nonClientInsets(probe);
    int width = toPixelsX(t.cx) + insets.left + insets.right;
    int height = toPixelsY(t.cy) + insets.top + insets.bottom;
    int x, y;
    if (t.style & (DS_CENTER | DS_CENTERMOUSE)) {
        x = (screenWidth - width) / 2;
        y = (screenHeight - height) / 2;
    } else {
        POINT origin =
            owner && !(t.style & DS_ABSALIGN) ? clientOriginOnScreen(owner) : POINT{0, 0};
        x = origin.x + toPixelsX(t.x);
        y = origin.y + toPixelsY(t.y);
    }
    return RECT{x, y, x + width, y + height};
}

HFONT makeDialogFont() {
    auto font = std::make_unique<GdiObject>();
    font->kind = GdiObject::Font;
    uintptr_t handle = newHandle();
    state().gdiObjects.emplace(handle, std::move(font));
    return reinterpret_cast<HFONT>(handle);
}

// Creates the controls; false when one cannot be made and the template does not allow that.
bool createControls(HWND dialog, const DialogResource& t, HINSTANCE instance, HFONT font) {
    bool mayFail = (t.style & DS_NOFAILCREATE) != 0;
    for (const DialogItemResource& item : t.items) {
        HWND control = nullptr;
        if (findClass(item.className)) {
            control = CreateWindowExA(
                item.exStyle | WS_EX_NOPARENTNOTIFY, item.className, item.text,
                item.style | WS_CHILD, toPixelsX(item.x), toPixelsY(item.y), toPixelsX(item.cx),
                toPixelsY(item.cy), dialog, reinterpret_cast<HMENU>(static_cast<intptr_t>(item.id)),
                instance, nullptr);
        }
        if (!windowOf(dialog))
            return false;
        if (!control) {
            if (mayFail)
                continue;
            return false;
        }
        if (font)
            sendMessage(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return true;
}

// The nested loop: runs until EndDialog; a quit message ends it and is passed on.
void runDialogLoop(HWND dialog, const DialogResource& t, HWND owner) {
    MSG msg;
    for (;;) {
        DialogState* d = dialogOf(dialog);
        if (!d || d->ended)
            return;
        if (owner && !(t.style & DS_NOIDLEMSG) && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            sendMessage(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

} // namespace

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC dialogProc, LPARAM initParam) {
    const DialogResource* t = findDialog(instance, templateName);
    if (!t)
        return -1;
    return runModalDialog(*t, instance, owner, dialogProc, initParam);
}

INT_PTR layer::runModalDialog(const DialogResource& dialogTemplate, HINSTANCE instance, HWND owner,
                              DLGPROC dialogProc, LPARAM initParam) {
    const DialogResource* t = &dialogTemplate;
    Layer& s = state();
    HWND ownerTop = owner ? topLevelOf(owner) : nullptr;
    bool ownerWasEnabled = ownerTop && IsWindowEnabled(ownerTop);
    if (ownerWasEnabled)
        EnableWindow(ownerTop, FALSE);

    RECT r = dialogRect(*t, ownerTop);
    s.creatingDialogProc = dialogProc;
    HWND dialog = CreateWindowExA(
        t->exStyle, "#32770", t->caption, t->style & ~static_cast<DWORD>(WS_VISIBLE), r.left, r.top,
        r.right - r.left, r.bottom - r.top, ownerTop, nullptr, instance, nullptr);
    s.creatingDialogProc = nullptr;
    auto giveBack = [&] {
        if (ownerWasEnabled && windowOf(ownerTop))
            EnableWindow(ownerTop, TRUE);
    };
    if (!dialog) {
        giveBack();
        return -1;
    }
    DialogState* d = dialogOf(dialog);
    d->disabledOwner = ownerWasEnabled ? ownerTop : nullptr;
    HFONT font = (t->style & DS_SETFONT) && t->fontName ? makeDialogFont() : nullptr;
    if (font)
        sendMessage(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!createControls(dialog, *t, instance, font)) {
        DestroyWindow(dialog);
        if (font)
            DeleteObject(font);
        giveBack();
        return -1;
    }

    HWND firstTab = nextTabStop(dialog, nullptr, false);
    if (sendMessage(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTab), initParam) &&
        windowOf(dialog))
        focusControl(nextTabStop(dialog, nullptr, false));
    if ((d = dialogOf(dialog)) && !d->ended)
        ShowWindow(dialog, SW_SHOW);

    s.modalDialogs.push_back(dialog);
    ++s.modalDepth;
    runDialogLoop(dialog, *t, ownerTop);
    --s.modalDepth;
    std::erase(s.modalDialogs, dialog);

    d = dialogOf(dialog);
    INT_PTR result = d ? d->result : -1;
    if (d && !d->ended)
        EndDialog(dialog, result); // the loop ended on a quit message
    DestroyWindow(dialog);
    if (font)
        DeleteObject(font);
    giveBack();
    return result;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    DialogState* d = dialogOf(dialog);
    if (!d)
        return FALSE;
    d->result = result;
    d->ended = true;
    // The owner comes back before the dialog goes, so it is the one activated.
    if (d->disabledOwner && windowOf(d->disabledOwner)) {
        HWND owner = d->disabledOwner;
        d->disabledOwner = nullptr;
        EnableWindow(owner, TRUE);
    }
    ShowWindow(dialog, SW_HIDE);
    // Wakes the dialog's loop, which may be waiting for input, so it sees the end at once and
    // leaves no quit message behind for the next loop.
    PostMessageA(dialog, WM_NULL, 0, 0);
    return TRUE;
}

LRESULT WINAPI DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = windowOf(dialog);
    if (!w)
        return 0;
    if (message == WM_NCCREATE && !w->dialog) {
        w->dialog = std::make_unique<DialogState>();
        w->dialog->proc = state().creatingDialogProc;
    }
    DialogState* d = w->dialog.get();
    if (!d)
        return DefWindowProcA(dialog, message, wParam, lParam);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
    INT_PTR handled = d->proc ? d->proc(dialog, message, wParam, lParam) : FALSE;
    if (!(w = windowOf(dialog)) || !(d = w->dialog.get()))
        return handled;
    if (handled)
        return returnsProcResult(message) ? handled : GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
    return defaultDialogMessage(dialog, d, message, wParam, lParam);
}

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) {
    if (!msg || !windowOf(dialog))
        return FALSE;
    if (msg->hwnd != dialog && !isDescendant(dialog, msg->hwnd))
        return FALSE;
    HWND target = msg->hwnd;
    LRESULT code = sendMessage(target, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    bool wantsAll = (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0;
    if (msg->message == WM_KEYDOWN && !wantsAll) {
        switch (msg->wParam) {
        case VK_TAB:
            if (code & DLGC_WANTTAB)
                break;
            focusControl(nextTabStop(dialog, GetFocus(), keyIsDown(VK_SHIFT)));
            return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: // arrows a control does not want move the focus round its group
            if (code & DLGC_WANTARROWS)
                break;
            moveFocusInGroup(dialog, target, msg->wParam == VK_LEFT || msg->wParam == VK_UP);
            return TRUE;
        case VK_ESCAPE:
            sendMessage(dialog, WM_COMMAND, IDCANCEL,
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
            return TRUE;
        case VK_RETURN: {
            HWND focus = GetFocus();
            LRESULT focusCode =
                isDescendant(dialog, focus) ? sendMessage(focus, WM_GETDLGCODE, 0, 0) : 0;
            if (focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
                sendMessage(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                            reinterpret_cast<LPARAM>(focus));
                return TRUE;
            }
            LRESULT defaultId = sendMessage(dialog, DM_GETDEFID, 0, 0);
            if (HIWORD(defaultId) == DC_HASDEFID) {
                HWND button = GetDlgItem(dialog, LOWORD(defaultId));
                if (!button || IsWindowEnabled(button))
                    sendMessage(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(defaultId), BN_CLICKED),
                                reinterpret_cast<LPARAM>(button));
            } else {
                sendMessage(dialog, WM_COMMAND, IDOK,
                            reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
            }
            return TRUE;
        }
        default: break;
        }
    }
    if (msg->message == WM_CHAR && !wantsAll &&
        (msg->wParam == '\t' || msg->wParam == '\r' || msg->wParam == 0x1B))
        return TRUE; // the keys the dialog manager took already
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    Window* d = windowOf(dialog);
    if (!d)
        return nullptr;
    for (HWND control : d->children) {
        if (windowOf(control)->id == id)
            return control;
    }
    return nullptr;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextA(control, text) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
    if (buffer && size > 0)
        buffer[0] = '\0';
    HWND control = GetDlgItem(dialog, id);
    return control ? static_cast<UINT>(GetWindowTextA(control, buffer, size)) : 0;
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? sendMessage(control, message, wParam, lParam) : 0;
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return FALSE;
    sendMessage(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}
