// Window classes, window creation and destruction, the default window procedure, window longs,
// text, geometry, visibility, enabling and painting.
#include "platform/layer.h"

#include <algorithm>
#include <cstring>

using namespace layer;

namespace {

LONG_PTR readExtra(const Window& w, int offset, size_t size) {
    if (offset < 0 || static_cast<size_t>(offset) + size > w.extra.size())
        return 0;
    if (size == sizeof(LONG_PTR)) {
        LONG_PTR value;
        std::memcpy(&value, w.extra.data() + offset, sizeof value);
        return value;
    }
    LONG value;
    std::memcpy(&value, w.extra.data() + offset, sizeof value);
    return value;
}

bool writeExtra(Window& w, int offset, LONG_PTR value, size_t size) {
    if (offset < 0 || static_cast<size_t>(offset) + size > w.extra.size())
        return false;
    if (size == sizeof(LONG_PTR)) {
        std::memcpy(w.extra.data() + offset, &value, sizeof value);
    } else {
        LONG narrow = static_cast<LONG>(value);
        std::memcpy(w.extra.data() + offset, &narrow, sizeof narrow);
    }
    return true;
}


// Destroys the records of a window and its children once their messages are sent.
void removeRecords(HWND window) {
    Window* w = windowOf(window);
    if (!w)
        return;
    std::vector<HWND> children = w->children;
    for (HWND child : children)
        removeRecords(child);
    sendMessage(window, WM_NCDESTROY, 0, 0);
    Layer& s = state();
    if (Window* parent = windowOf(w->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    }
    if (w->menu && !w->parent)
        DestroyMenu(w->menu);
    if (w->ownDc)
        s.deviceContexts.erase(reinterpret_cast<uintptr_t>(w->ownDc));
    for (auto it = s.deviceContexts.begin(); it != s.deviceContexts.end();) {
        it = it->second.window == window ? s.deviceContexts.erase(it) : std::next(it);
    }
    if (s.focus == window)
        s.focus = nullptr;
    if (s.capture == window)
        s.capture = nullptr;
    if (s.active == window)
        s.active = nullptr;
    killTimersOf(window);
    // As on the real platform, what was posted to a window goes with it.
    std::erase_if(s.posted, [window](const MSG& posted) { return posted.hwnd == window; });
    s.windows.erase(reinterpret_cast<uintptr_t>(window));
}

void sendDestroy(HWND window) {
    Window* w = windowOf(window);
    if (!w)
        return;
    w->destroying = true;
    sendMessage(window, WM_DESTROY, 0, 0);
    w = windowOf(window);
    if (!w)
        return;
    std::vector<HWND> children = w->children;
    for (HWND child : children)
        sendDestroy(child);
}

void destroyViews(HWND window) {
    Window* w = windowOf(window);
    if (!w)
        return;
    for (HWND child : w->children)
        destroyViews(child);
    const Backend* backend = state().backend;
    if (w->created && backend && backend->destroyView)
        backend->destroyView(window);
    w->created = false;
}

// CW_USEDEFAULT for a top-level window: the layer's one default place and size.
void placeByDefault(int& x, int& y, int& width, int& height) {
    if (x == CW_USEDEFAULT)
        x = y = 100;
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
}

// The record of a new window, before any message reaches it.
std::unique_ptr<Window> newWindowRecord(WindowClass& cls, DWORD exStyle, DWORD style,
                                        const RECT& rect, HWND parent, HMENU menu,
                                        HINSTANCE instance) {
    bool child = (style & WS_CHILD) != 0;
    auto record = std::make_unique<Window>();
    Window& w = *record;
    w.handle = reinterpret_cast<HWND>(newHandle());
    w.windowClass = &cls;
    w.style = style;
    w.exStyle = exStyle;
    if (style & DS_MODALFRAME && !child && cls.kind == ControlKind::Dialog)
        w.exStyle |= WS_EX_DLGMODALFRAME;
    w.rect = rect;
    w.parent = child ? parent : nullptr;
    w.owner = child ? nullptr : (parent ? topLevelOf(parent) : nullptr);
    w.proc = cls.proc;
    w.instance = instance;
    w.id = child ? static_cast<int>(reinterpret_cast<intptr_t>(menu)) : 0;
    w.extra.assign(static_cast<size_t>(cls.windowExtra), 0);
    return record;
}

// A top-level window's menu bar: the one given, else its class's menu. Returns the menu.
HMENU attachMenuBar(Window& w, const WindowClass& cls, HMENU menu) {
    if (!menu && !cls.menuName.empty())
        menu = LoadMenuA(cls.instance, cls.menuName.c_str());
    if (Menu* m = menuOf(menu)) {
        w.menu = menu;
        m->window = w.handle;
    }
    return menu;
}

// WM_NCCREATE and WM_CREATE, then the view and, for a visible top-level window, activation.
// nullptr when the window refused either message or was destroyed meanwhile.
HWND sendCreation(HWND handle, CREATESTRUCTA& cs) {
    if (!sendMessage(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        removeRecords(handle);
        return nullptr;
    }
    if (!windowOf(handle))
        return nullptr;
    if (sendMessage(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    Window* created = windowOf(handle);
    if (!created)
        return nullptr;
    created->created = true;
    if (!sendCreateView(handle)) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (!(cs.style & WS_CHILD) && (created->style & WS_VISIBLE))
        activate(handle);
    return handle;
}

} // namespace

namespace layer {

int copyText(const std::string& text, LPSTR buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    int count = std::min(static_cast<int>(text.size()), size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return count;
}

} // namespace layer


ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpszClassName || !wc->lpfnWndProc)
        return 0;
    if (IS_INTRESOURCE(wc->lpszClassName) || findClass(wc->lpszClassName))
        return 0;
    if (wc->cbWndExtra < 0 || wc->cbClsExtra < 0)
        return 0;
    Layer& s = state();
    auto cls = std::make_unique<WindowClass>();
    cls->name = wc->lpszClassName;
    cls->atom = s.nextAtom++;
    cls->style = wc->style;
    cls->proc = wc->lpfnWndProc;
    cls->windowExtra = wc->cbWndExtra;
    cls->instance = wc->hInstance;
    cls->icon = wc->hIcon;
    cls->cursor = wc->hCursor;
    cls->background = wc->hbrBackground;
    if (wc->lpszMenuName && !IS_INTRESOURCE(wc->lpszMenuName))
        cls->menuName = wc->lpszMenuName;
    cls->kind = ControlKind::None;
    cls->fromLibrary = false;
    ATOM atom = cls->atom;
    s.classes.push_back(std::move(cls));
    return atom;
}

BOOL WINAPI GetClassInfoExA(HINSTANCE, LPCSTR className, LPWNDCLASSEXA wc) {
    const WindowClass* cls = findClass(className);
    if (!cls || !wc)
        return FALSE;
    *wc = WNDCLASSEXA{};
    wc->cbSize = sizeof *wc;
    wc->style = cls->style;
    wc->lpfnWndProc = cls->proc;
    wc->cbWndExtra = cls->windowExtra;
    wc->hInstance = cls->instance;
    wc->hIcon = cls->icon;
    wc->hCursor = cls->cursor;
    wc->hbrBackground = cls->background;
    wc->lpszMenuName = cls->menuName.empty() ? nullptr : cls->menuName.c_str();
    wc->lpszClassName = className;
    return cls->atom; // the real one returns the class atom too
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
    WindowClass* cls = findClass(className);
    if (!cls)
        return FALSE;
    Layer& s = state();
    for (auto& [handle, window] : s.windows) {
        if (window->windowClass == cls)
            return FALSE; // still in use
    }
    s.classes.erase(std::remove_if(s.classes.begin(), s.classes.end(),
                                   [cls](const auto& c) { return c.get() == cls; }),
                    s.classes.end());
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    WindowClass* cls = findClass(className);
    if (!cls)
        return nullptr;
    Window* parentWindow = windowOf(parent);
    bool child = (style & WS_CHILD) != 0;
    if (child && (!parentWindow || parentWindow->destroying))
        return nullptr;
    if (!child && parent && !parentWindow)
        return nullptr;
    if (!child)
        placeByDefault(x, y, width, height);

    RECT rect{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    auto record = newWindowRecord(*cls, exStyle, style, rect, parent, menu, instance);
    HWND handle = record->handle;
    if (!child)
        menu = attachMenuBar(*record, *cls, menu);
    state().windows.emplace(reinterpret_cast<uintptr_t>(handle), std::move(record));
    if (child)
        parentWindow->children.push_back(handle);

    CREATESTRUCTA cs{
        param,      instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        windowName, className, exStyle};
    return sendCreation(handle, cs);
}

BOOL WINAPI DestroyWindow(HWND window) {
    Window* w = windowOf(window);
    if (!w)
        return FALSE;
    if (w->destroying)
        return TRUE;
    Layer& s = state();

    // Owned windows go first, as on the real platform.
    std::vector<HWND> owned;
    for (auto& [handle, other] : s.windows) {
        if (other->owner == window && !other->destroying)
            owned.push_back(other->handle);
    }
    for (HWND o : owned)
        DestroyWindow(o);

    w = windowOf(window);
    if (!w)
        return TRUE;
    HWND parent = w->parent;
    HWND owner = w->owner;
    bool wasActive = s.active == window;
    if (s.focus == window || isDescendant(window, s.focus))
        SetFocus(parent);
    if (s.capture == window || isDescendant(window, s.capture))
        ReleaseCapture();

    destroyViews(window);
    sendDestroy(window);
    removeRecords(window);

    if (wasActive) {
        s.active = nullptr;
        if (windowOf(owner) && IsWindowEnabled(owner))
            activate(owner);
    }
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = windowOf(window);
    if (!w)
        return 0;
    switch (message) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
            w->text = cs->lpszName;
        return TRUE;
    }
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            sendMessage(window, WM_CLOSE, 0, 0);
        if ((wParam & 0xFFF0) == SC_KEYMENU)
            trackMenuFromKeyboard(window, static_cast<char>(lParam));
        return 0;
    // Alt pressed and released alone, or with a letter, drives the menu bar from the keyboard.
    case WM_SYSKEYDOWN:
        if (HIWORD(lParam) & KF_ALTDOWN)
            state().altAlone = wParam == VK_MENU && !state().altAlone;
        return 0;
    case WM_KEYDOWN: state().altAlone = false; return 0;
    case WM_SYSKEYUP:
        if (wParam == VK_MENU && state().altAlone) {
            state().altAlone = false;
            sendMessage(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
        }
        return 0;
    case WM_SYSCHAR:
        if (wParam != '\t' && wParam != 0x1B && wParam != ' ')
            sendMessage(window, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
        return 0;
    case WM_SETTEXT:
        w->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        viewChanged(window, ViewText);
        return TRUE;
    case WM_GETTEXT:
        return copyText(w->text, reinterpret_cast<LPSTR>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w->text.size());
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            SetFocus(window);
        return 0;
    default: return 0;
    }
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    return proc ? proc(window, message, wParam, lParam) : 0;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    Window* w = windowOf(window);
    if (!w)
        return 0;
    LONG_PTR old = GetWindowLongPtrA(window, index);
    switch (index) {
    case GWLP_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    case GWLP_USERDATA: w->userData = value; break;
    case GWLP_ID: w->id = static_cast<int>(value); break;
    case GWLP_HINSTANCE: w->instance = reinterpret_cast<HINSTANCE>(value); break;
    case GWLP_HWNDPARENT: w->owner = reinterpret_cast<HWND>(value); break;
    case GWL_STYLE:
        w->style = static_cast<DWORD>(value);
        viewChanged(window, ViewContent | ViewEnabled | ViewVisible);
        break;
    case GWL_EXSTYLE: w->exStyle = static_cast<DWORD>(value); break;
    default:
        if (!writeExtra(*w, index, value, sizeof(LONG_PTR)))
            return 0;
        break;
    }
    return old;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
    Window* w = windowOf(window);
    if (!w)
        return 0;
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_USERDATA: return w->userData;
    case GWLP_ID: return w->id;
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->owner);
    case GWL_STYLE: return static_cast<LONG>(w->style);
    case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
    default: return readExtra(*w, index, sizeof(LONG_PTR));
    }
}

LONG WINAPI SetWindowLongA(HWND window, int index, LONG value) {
    Window* w = windowOf(window);
    if (!w || index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT)
        return 0; // pointers do not fit; the 64-bit calls are the way
    if (index >= 0) {
        LONG old = static_cast<LONG>(readExtra(*w, index, sizeof(LONG)));
        return writeExtra(*w, index, value, sizeof(LONG)) ? old : 0;
    }
    return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
}

LONG WINAPI GetWindowLongA(HWND window, int index) {
    Window* w = windowOf(window);
    if (!w)
        return 0;
    if (index >= 0)
        return static_cast<LONG>(readExtra(*w, index, sizeof(LONG)));
    return static_cast<LONG>(GetWindowLongPtrA(window, index));
}

BOOL WINAPI IsWindow(HWND window) {
    return windowOf(window) != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND window) {
    for (Window* w = windowOf(window); w; w = windowOf(w->parent)) {
        if (!(w->style & WS_VISIBLE))
            return FALSE;
        if (!w->parent)
            return TRUE;
    }
    return FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND window) {
    Window* w = windowOf(window);
    return w && !(w->style & WS_DISABLED);
}

BOOL WINAPI EnableWindow(HWND window, BOOL enable) {
    Window* w = windowOf(window);
    if (!w)
        return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable && wasDisabled) {
        w->style &= ~static_cast<DWORD>(WS_DISABLED);
        sendMessage(window, WM_ENABLE, TRUE, 0);
        viewChanged(window, ViewEnabled);
    } else if (!enable && !wasDisabled) {
        sendMessage(window, WM_CANCELMODE, 0, 0);
        if (!(w = windowOf(window)))
            return FALSE;
        w->style |= WS_DISABLED;
        // Only the window itself loses the focus: a control inside keeps it until another
        // window is activated, so the dialog that is deactivated then still knows it.
        Layer& s = state();
        if (s.focus == window)
            SetFocus(nullptr);
        if (s.capture == window || isDescendant(window, s.capture))
            ReleaseCapture();
        sendMessage(window, WM_ENABLE, FALSE, 0);
        viewChanged(window, ViewEnabled);
    }
    return wasDisabled;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    Window* w = windowOf(window);
    if (!w)
        return FALSE;
    BOOL wasVisible = (w->style & WS_VISIBLE) != 0;
    bool show = command != SW_HIDE;
    if (show == static_cast<bool>(wasVisible))
        return wasVisible;
    Layer& s = state();
    if (show) {
        w->style |= WS_VISIBLE;
        sendMessage(window, WM_SHOWWINDOW, TRUE, 0);
        viewChanged(window, ViewVisible);
        if (!w->parent)
            activate(window);
    } else {
        if (s.focus == window || isDescendant(window, s.focus))
            SetFocus(w->parent);
        w = windowOf(window);
        if (!w)
            return wasVisible;
        w->style &= ~static_cast<DWORD>(WS_VISIBLE);
        sendMessage(window, WM_SHOWWINDOW, FALSE, 0);
        viewChanged(window, ViewVisible);
        if (s.active == window) {
            s.active = nullptr;
            if (w->owner)
                activate(w->owner);
        }
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND window) {
    Window* w = windowOf(window);
    if (!w)
        return FALSE;
    if (w->needsPaint && IsWindowVisible(window))
        sendMessage(window, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND window, const RECT*, BOOL) {
    if (!window) {
        for (auto& [handle, w] : state().windows)
            w->needsPaint = true;
        return TRUE;
    }
    Window* w = windowOf(window);
    if (!w)
        return FALSE;
    w->needsPaint = true;
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND window, const RECT*) {
    Window* w = windowOf(window);
    if (!w)
        return FALSE;
    w->needsPaint = false;
    return TRUE;
}

HDC WINAPI BeginPaint(HWND window, LPPAINTSTRUCT paint) {
    Window* w = windowOf(window);
    if (!w || !paint)
        return nullptr;
    std::memset(paint, 0, sizeof *paint);
    w->needsPaint = false;
    paint->hdc = GetDC(window);
    paint->rcPaint = clientRectOf(*w);
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND window, const PAINTSTRUCT* paint) {
    if (paint && paint->hdc)
        ReleaseDC(window, paint->hdc);
    return TRUE;
}

HWND WINAPI GetParent(HWND window) {
    Window* w = windowOf(window);
    if (!w)
        return nullptr;
    if (w->parent)
        return w->parent;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

// GA_PARENT: the parent only (a top-level window's is the desktop, which the layer has not);
// GA_ROOT: the top-level window it lies in; GA_ROOTOWNER: that window's first owner.
HWND WINAPI GetAncestor(HWND window, UINT flags) {
    Window* w = windowOf(window);
    if (!w)
        return nullptr;
    if (flags == GA_PARENT)
        return w->parent;
    while (w->parent)
        w = windowOf(w->parent);
    if (flags == GA_ROOTOWNER)
        while (w->owner && windowOf(w->owner))
            w = windowOf(w->owner);
    return flags == GA_ROOT || flags == GA_ROOTOWNER ? w->handle : nullptr;
}

BOOL WINAPI IsChild(HWND parent, HWND window) {
    return isDescendant(parent, window);
}

int WINAPI GetDlgCtrlID(HWND window) {
    Window* w = windowOf(window);
    return w && w->parent ? w->id : 0;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect) {
    Window* w = windowOf(window);
    if (!w || !rect)
        return FALSE;
    *rect = clientRectOf(*w);
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect) {
    Window* w = windowOf(window);
    if (!w || !rect)
        return FALSE;
    *rect = w->rect;
    if (w->parent) {
        POINT origin = clientOriginOnScreen(w->parent);
        OffsetRect(rect, origin.x, origin.y);
    }
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    Window* w = windowOf(window);
    if (!w)
        return FALSE;
    RECT old = w->rect;
    w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    if (old.left != x || old.top != y)
        sendMessage(window, WM_MOVE, 0, MAKELPARAM(x, y));
    if ((w = windowOf(window)) == nullptr)
        return TRUE;
    if (old.right - old.left != width || old.bottom - old.top != height) {
        RECT client = clientRectOf(*w);
        sendMessage(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
    viewChanged(window, ViewGeometry);
    if (repaint)
        InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND window, LPPOINT point) {
    if (!windowOf(window) || !point)
        return FALSE;
    POINT origin = clientOriginOnScreen(window);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND window, LPPOINT point) {
    if (!windowOf(window) || !point)
        return FALSE;
    POINT origin = clientOriginOnScreen(window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    if (!windowOf(window))
        return FALSE;
    return sendMessage(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    buffer[0] = '\0';
    if (!windowOf(window))
        return 0;
    return static_cast<int>(
        sendMessage(window, WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthA(HWND window) {
    if (!windowOf(window))
        return 0;
    return static_cast<int>(sendMessage(window, WM_GETTEXTLENGTH, 0, 0));
}

namespace layer {

void activate(HWND topLevel) {
    Layer& s = state();
    if (s.active == topLevel)
        return;
    HWND old = s.active;
    s.active = topLevel;
    if (old && windowOf(old))
        sendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0),
                    reinterpret_cast<LPARAM>(topLevel));
    if (!topLevel) {
        if (s.focus)
            SetFocus(nullptr);
        return;
    }
    if (windowOf(topLevel) && s.active == topLevel)
        sendMessage(topLevel, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
}

} // namespace layer

int WINAPI GetClassNameA(HWND window, LPSTR buffer, int size) {
    Window* w = windowOf(window);
    if (!w || !buffer || size <= 0)
        return 0;
    const std::string& name = w->windowClass->name;
    size_t count = std::min<size_t>(name.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, name.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

// Top-level windows, newest first, as they lie on the screen from the top: class and text
// compare without regard to case; a null one matches any.
HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName) {
    WindowClass* wanted = className ? findClass(className) : nullptr;
    if (className && !wanted)
        return nullptr;
    auto& windows = state().windows;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        const Window& w = *it->second;
        if (w.parent || w.destroying)
            continue;
        if (wanted && w.windowClass != wanted)
            continue;
        if (windowName && !equalsNoCase(w.text, windowName))
            continue;
        return w.handle;
    }
    return nullptr;
}

// Every descendant, each child before its own children, in creation order; stops when the
// procedure returns FALSE.
BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
    Window* w = windowOf(parent);
    if (!w || !proc)
        return FALSE;
    std::vector<HWND> children = w->children;
    for (HWND child : children) {
        if (!windowOf(child))
            continue;
        if (!proc(child, lParam))
            return FALSE;
        if (windowOf(child) && !windowOf(child)->children.empty() &&
            !EnumChildWindows(child, proc, lParam))
            return FALSE;
    }
    return TRUE;
}
