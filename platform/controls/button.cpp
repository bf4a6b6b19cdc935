// BUTTON: push and default push buttons, group boxes, check boxes and radio buttons.
#include "platform/controls/control_state.h"
#include "platform/layer.h"

using namespace layer;

namespace {

ButtonState* recordOf(HWND window) {
    return static_cast<ButtonState*>(controlRecord(window));
}

DWORD buttonType(HWND window) {
    return windowOf(window)->style & BS_TYPEMASK;
}

bool hasCheck(DWORD type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool isInside(HWND window, int x, int y) {
    RECT client = clientRectOf(*windowOf(window));
    return x >= 0 && y >= 0 && x < client.right && y < client.bottom;
}

LRESULT onCreate(HWND window, const CREATESTRUCTA* cs) {
    setControlRecord(window, new ButtonState{.owner = cs->hwndParent});
    return 0;
}

void onDestroy(HWND window, ButtonState* button) {
    delete button;
    setControlRecord(window, nullptr);
}

void setPushed(HWND window, ButtonState* button, bool pushed) {
    if (button->pushed == pushed)
        return;
    button->pushed = pushed;
    viewChanged(window, ViewContent);
}

// What the program sets: no notification.
LRESULT setCheck(HWND window, ButtonState* button, WPARAM check) {
    DWORD type = buttonType(window);
    if (!hasCheck(type))
        return 0;
    if (check == BST_INDETERMINATE && type != BS_3STATE && type != BS_AUTO3STATE)
        check = BST_CHECKED;
    if (check > BST_INDETERMINATE)
        return 0;
    button->check = static_cast<int>(check);
    viewChanged(window, ViewContent);
    return 0;
}

void uncheckRadioSiblings(HWND window) {
    Window* parent = windowOf(windowOf(window)->parent);
    if (!parent)
        return;
    for (HWND sibling : parent->children) {
        if (sibling == window || kindOf(sibling) != ControlKind::Button)
            continue;
        if (buttonType(sibling) != BS_AUTORADIOBUTTON)
            continue;
        if (ButtonState* other = recordOf(sibling))
            setCheck(sibling, other, BST_UNCHECKED);
    }
}

// The user's click: an automatic button changes its state first, then the owner hears of it.
void click(HWND window, ButtonState* button) {
    switch (buttonType(window)) {
    case BS_AUTOCHECKBOX:
        setCheck(window, button, button->check ? BST_UNCHECKED : BST_CHECKED);
        break;
    case BS_AUTO3STATE: setCheck(window, button, (button->check + 1) % 3); break;
    case BS_AUTORADIOBUTTON:
        uncheckRadioSiblings(window);
        setCheck(window, button, BST_CHECKED);
        break;
    default: break;
    }
    notifyCommand(window, button->owner, BN_CLICKED);
}

LRESULT onButtonDown(HWND window, ButtonState* button) {
    if (buttonType(window) == BS_GROUPBOX)
        return 0;
    SetFocus(window);
    if (!(button = recordOf(window)))
        return 0;
    SetCapture(window);
    button->tracking = true;
    setPushed(window, button, true);
    return 0;
}

LRESULT onMouseMove(HWND window, ButtonState* button, int x, int y) {
    if (button->tracking)
        setPushed(window, button, isInside(window, x, y));
    return 0;
}

LRESULT onButtonUp(HWND window, ButtonState* button, int x, int y) {
    if (!button->tracking)
        return 0;
    bool clicked = isInside(window, x, y);
    button->tracking = false;
    setPushed(window, button, false);
    ReleaseCapture();
    if (clicked)
        click(window, button);
    return 0;
}

LRESULT onKeyDown(HWND window, ButtonState* button, WPARAM key) {
    if (key == VK_SPACE && buttonType(window) != BS_GROUPBOX)
        setPushed(window, button, true);
    return 0;
}

LRESULT onKeyUp(HWND window, ButtonState* button, WPARAM key) {
    if (key != VK_SPACE || !button->pushed)
        return 0;
    setPushed(window, button, false);
    click(window, button);
    return 0;
}

LRESULT dialogCode(HWND window) {
    switch (buttonType(window)) {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
    }
}

LRESULT onFocus(HWND window, ButtonState* button, bool gained) {
    if (!gained)
        setPushed(window, button, false);
    viewChanged(window, ViewFocus);
    if (windowOf(window)->style & BS_NOTIFY)
        notifyCommand(window, button->owner, gained ? BN_SETFOCUS : BN_KILLFOCUS);
    return 0;
}

LRESULT getState(HWND window, const ButtonState* button) {
    LRESULT result = button->check;
    if (button->pushed)
        result |= BST_PUSHED;
    if (GetFocus() == window)
        result |= BST_FOCUS;
    return result;
}

LRESULT setStyle(HWND window, WPARAM style) {
    Window* w = windowOf(window);
    w->style = (w->style & ~static_cast<DWORD>(BS_TYPEMASK)) | (style & BS_TYPEMASK);
    viewChanged(window, ViewContent);
    return 0;
}

LRESULT simulateClick(HWND window) {
    sendMessage(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    sendMessage(window, WM_LBUTTONUP, 0, 0);
    return 0;
}

} // namespace

namespace layer {

LRESULT CALLBACK buttonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ButtonState* button = recordOf(window);
    if (!button && message != WM_CREATE)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: return onCreate(window, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_DESTROY: onDestroy(window, button); return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return onButtonDown(window, button);
    case WM_MOUSEMOVE:
        return onMouseMove(window, button, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    case WM_LBUTTONUP:
        return onButtonUp(window, button, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    case WM_CAPTURECHANGED:
        button->tracking = false;
        setPushed(window, button, false);
        return 0;
    case WM_KEYDOWN: return onKeyDown(window, button, wParam);
    case WM_KEYUP: return onKeyUp(window, button, wParam);
    case WM_SETFOCUS: return onFocus(window, button, true);
    case WM_KILLFOCUS: return onFocus(window, button, false);
    case WM_GETDLGCODE: return dialogCode(window);
    case WM_SETFONT: windowOf(window)->font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(windowOf(window)->font);
    case WM_ENABLE: viewChanged(window, ViewEnabled); return 0;
    case BM_GETCHECK: return hasCheck(buttonType(window)) ? button->check : BST_UNCHECKED;
    case BM_SETCHECK: return setCheck(window, button, wParam);
    case BM_GETSTATE: return getState(window, button);
    case BM_SETSTATE: setPushed(window, button, wParam != 0); return 0;
    case BM_SETSTYLE: return setStyle(window, wParam);
    case BM_CLICK: return simulateClick(window);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace layer
