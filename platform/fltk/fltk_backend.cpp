// The desktop backend: the layer's windows on a real screen through FLTK 1.3 and GLX.
// Pairs with platform/backend.h; the program's `main` installs it through programBackend().
//
//   [x] top-level windows as fixed-size FLTK windows at the layer's position, with the
//       window text as title, the class icon, and the menu bar (marks, key hints, grayed items)
//   [x] one widget per control, drawn from the layer's state in the classic colours
//   [x] mouse input as WM_LBUTTONDOWN / WM_MOUSEMOVE / WM_LBUTTONUP in client coordinates;
//       the layer's capture makes a drag go on outside the window, with negative coordinates
//   [x] every key goes to the layer's focus window before any widget sees it, so the
//       accelerator table acts first; Alt+letter opens the menu bar, Alt+F4 closes
//   [x] dialogs as modal FLTK windows, message boxes as FLTK dialogs; the file chooser is
//       GTK 3's dialog (FLTK's own chooser where GTK cannot start)
//   [x] the view frame as an Fl_Gl_Window with the requested pixel format, one GLX context
//       for its whole life, drawn only by the program (WM_PAINT, SwapBuffers)
//   [x] blocking waits in Fl::wait(), non-blocking looks in Fl::check(); SetTimer's clock is
//       the steady clock, and a wait for the next due timer is Fl::wait(seconds)
//   [ ] no right button, wheel, double click or hover messages (the program uses none)
//   [ ] no resizing, minimising to an icon, or multiple screens

// The layer's header comes before FLTK's, which bring in X11's None and Window.
#include "platform/layer.h"

#include "platform/fltk/fltk_backend.h"

#include "platform/backend.h"
#include "platform/fltk/fltk_controls.h"
#include "platform/fltk/fltk_draw.h"
#include "platform/fltk/fltk_file_chooser.h"
#include "platform/fltk/fltk_gl_view.h"
#include "platform/fltk/fltk_images.h"
#include "platform/fltk/fltk_keys.h"
#include "platform/fltk/fltk_menu.h"
#include "platform/fltk/fltk_message_box.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/x.H>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

// ---------------------------------------------------------------------------------------------
// Geometry: where the layer's rectangles land in FLTK windows.

struct Box {
    int x, y, w, h;
};

int menuHeightOf(const layer::Window& w) {
    return (!w.parent && w.menu) ? menuBarHeight : 0;
}

// The origin of a window's client area inside its top-level FLTK window.
POINT clientOriginInHost(HWND window) {
    const layer::Window* w = layer::windowOf(window);
    if (!w)
        return {0, 0};
    if (!w->parent)
        return {0, menuHeightOf(*w)};
    const POINT parent = clientOriginInHost(w->parent);
    const RECT insets = layer::nonClientInsets(*w);
    return {parent.x + w->rect.left + insets.left, parent.y + w->rect.top + insets.top};
}

// A child's whole rectangle (border included) inside its top-level FLTK window.
Box childBox(const layer::Window& w) {
    const POINT parent = clientOriginInHost(w.parent);
    return {parent.x + w.rect.left, parent.y + w.rect.top, w.rect.right - w.rect.left,
            w.rect.bottom - w.rect.top};
}

// ---------------------------------------------------------------------------------------------
// Top-level windows

class TopLevelWindow : public Fl_Double_Window {
  public:
    TopLevelWindow(HWND window, int x, int y, int w, int h)
        : Fl_Double_Window(x, y, w, h), window_(window) {
        callback(closeBox, this);
    }
    HWND hwnd() const { return window_; }

    int handle(int event) override {
        const int used = Fl_Double_Window::handle(event);
        if (used || !(event == FL_PUSH || event == FL_DRAG || event == FL_RELEASE))
            return used;
        // A click on the window's own background, outside every control.
        if (Fl::event_button() != FL_LEFT_MOUSE && event != FL_DRAG)
            return 0;
        const UINT message = event == FL_PUSH   ? WM_LBUTTONDOWN
                             : event == FL_DRAG ? WM_MOUSEMOVE
                                                : WM_LBUTTONUP;
        const layer::Window* w = layer::windowOf(window_);
        inputMouse(window_, message, Fl::event_x(), Fl::event_y() - (w ? menuHeightOf(*w) : 0));
        return 1;
    }

  private:
    static void closeBox(Fl_Widget*, void* self) {
        inputClose(static_cast<TopLevelWindow*>(self)->window_);
    }
    HWND window_;
};

// The layer's position is the outer frame's, as on the platform; FLTK asks the window manager
// to put the client area there instead (static gravity). North-west gravity puts the frame.
void placeFrameAtPosition(Fl_Window* window) {
    if (!window->shown())
        return;
    XSizeHints* hints = XAllocSizeHints();
    long supplied = 0;
    if (hints && XGetWMNormalHints(fl_display, fl_xid(window), hints, &supplied)) {
        hints->flags |= PWinGravity;
        hints->win_gravity = NorthWestGravity;
        XSetWMNormalHints(fl_display, fl_xid(window), hints);
    }
    if (hints)
        XFree(hints);
}

void createTopLevel(HWND window, layer::Window& w, NativeView& view) {
    const RECT client = layer::clientRectOf(w);
    const int menuHeight = menuHeightOf(w);
    const int width = std::max<int>(client.right, 1),
              height = std::max<int>(client.bottom + menuHeight, 1);
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    auto* top = new TopLevelWindow(window, w.rect.left, w.rect.top, width, height);
    top->end();
    top->copy_label(w.text.c_str());
    top->color(fltk_look::face());
    top->size_range(width, height, width, height); // no sizing border, no maximise
    if (w.owner)
        top->set_modal(); // dialogs: the owner takes no input meanwhile
    if (w.menu) {
        view.menuBar = makeMenuBar(window, w.menu, width, view.menuStrings);
        top->add(view.menuBar);
    }
    if (w.windowClass)
        setWindowIcon(top, w.windowClass->icon);
    Fl_Group::current(saved);
    view.topLevel = top;
    if (w.style & WS_VISIBLE)
        top->show();
    placeFrameAtPosition(top);
}

void createChild(HWND window, layer::Window& w, NativeView& view) {
    Fl_Window* host = hostWindowOf(w.parent);
    if (!host)
        return;
    const Box box = childBox(w);
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    view.widget = makeControlWidget(window, controlKindOf(window), box.x, box.y, box.w, box.h);
    Fl_Group::current(saved);
    host->add(view.widget);
    // A child shows with its own style bit; a hidden parent window hides it all the same.
    if (!(w.style & WS_VISIBLE))
        view.widget->hide();
    host->redraw();
}

// ---------------------------------------------------------------------------------------------
// Backend operations

bool createView(HWND window) {
    layer::Window* w = layer::windowOf(window);
    if (!w)
        return true;
    NativeView& view = fltkBackend().views[window];
    if (!w->parent)
        createTopLevel(window, *w, view);
    else
        createChild(window, *w, view);
    return true;
}

void updateGeometry(HWND window, const layer::Window& w, NativeView& view) {
    if (view.topLevel) {
        const RECT client = layer::clientRectOf(w);
        const int width = client.right, height = client.bottom + menuHeightOf(w);
        view.topLevel->size_range(width, height, width, height);
        view.topLevel->resize(w.rect.left, w.rect.top, width, height);
        placeFrameAtPosition(view.topLevel);
        if (view.menuBar)
            view.menuBar->size(width, menuBarHeight);
        return;
    }
    if (view.widget) {
        const Box box = childBox(w);
        view.widget->resize(box.x, box.y, box.w, box.h);
    }
    if (view.gl) {
        const HostBox client = clientBoxInHost(window);
        view.gl->resize(client.x, client.y, client.w, client.h);
    }
    if (Fl_Window* host = hostWindowOf(window))
        host->redraw();
}

void updateVisibility(HWND window, const layer::Window& w, NativeView& view) {
    // Each view follows its own WS_VISIBLE; FLTK hides the children of a hidden window.
    const bool visible = w.style & WS_VISIBLE;
    if (view.topLevel) {
        if (visible && !view.topLevel->shown())
            view.topLevel->show();
        placeFrameAtPosition(view.topLevel);
        if (!visible && view.topLevel->shown())
            view.topLevel->hide();
        return;
    }
    for (Fl_Widget* widget :
         {static_cast<Fl_Widget*>(view.widget), static_cast<Fl_Widget*>(view.gl)}) {
        if (!widget)
            continue;
        if (visible)
            widget->show();
        else
            widget->hide();
    }
    if (Fl_Window* host = hostWindowOf(window))
        host->redraw();
}

void updateView(HWND window, unsigned changes) {
    layer::Window* w = layer::windowOf(window);
    NativeView* view = nativeViewOf(window);
    if (!w || !view)
        return;
    if ((changes & ViewText) && view->topLevel)
        view->topLevel->copy_label(w->text.c_str());
    if ((changes & ViewMenu) && view->menuBar)
        updateMenuBar(view->menuBar, w->menu, view->menuStrings);
    if (changes & ViewGeometry)
        updateGeometry(window, *w, *view);
    if (changes & ViewVisible)
        updateVisibility(window, *w, *view);
    if (view->widget)
        refreshControlWidget(view->widget);
    if (view->topLevel && (changes & (ViewEnabled | ViewFocus)))
        view->topLevel->redraw();
}

void destroyView(HWND window) {
    auto& views = fltkBackend().views;
    const auto found = views.find(window);
    if (found == views.end())
        return;
    NativeView view = found->second;
    views.erase(found);
    if (view.gl) {
        if (Fl_Group* parent = view.gl->parent())
            parent->remove(view.gl);
        view.gl->hide();
        Fl::delete_widget(view.gl);
    }
    if (view.widget) {
        if (Fl_Group* parent = view.widget->parent()) {
            parent->remove(view.widget);
            parent->redraw();
        }
        Fl::delete_widget(view.widget);
    }
    if (view.topLevel) {
        view.topLevel->hide();
        Fl::delete_widget(view.topLevel);
    }
    delete view.menuStrings;
}

bool anyWindowShown() {
    for (const auto& [window, view] : fltkBackend().views)
        if (view.topLevel && view.topLevel->shown())
            return true;
    return false;
}

bool waitForInput(bool block) {
    if (!block) {
        Fl::check();
        return true;
    }
    // With no window on the screen nothing can come; a wait would never return.
    if (!anyWindowShown())
        return false;
    // FLTK redraws what the last events uncovered before it waits; a GL view's redraw is a
    // paint request for the program, which must not wait behind the next user event.
    const unsigned long requests = fltkBackend().paintRequests;
    Fl::flush();
    if (fltkBackend().paintRequests != requests)
        return true;
    Fl::wait();
    return true;
}

DWORD tickCount() {
    using namespace std::chrono;
    return static_cast<DWORD>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

bool waitForInputFor(DWORD milliseconds) {
    Fl::flush();
    Fl::wait(milliseconds / 1000.0);
    return true;
}

bool getDc(HWND window) {
    return nativeViewOf(window) != nullptr;
}

void fillRect(HWND window, const RECT& rect, COLORREF colour) {
    NativeView* view = nativeViewOf(window);
    if (view && view->widget)
        setWidgetFill(view->widget, rect, colour);
}

int messageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return showMessageBox(hostWindowOf(owner), text, caption, type);
}

// ---------------------------------------------------------------------------------------------
// Keys: every key of our windows goes to the layer's focus window before FLTK's widgets see
// it, as the real platform queues WM_KEYDOWN for the message loop to offer to the
// accelerator table first.

HWND topLevelOfFlWindow(const Fl_Window* window) {
    const auto* top = dynamic_cast<const TopLevelWindow*>(window);
    return top ? top->hwnd() : nullptr;
}

void feedKey(int event) {
    const int key = Fl::event_key();
    const UINT virtualKey = virtualKeyOf(key, Fl::event_state(FL_NUM_LOCK) != 0);
    const UINT message = event == FL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP;
    if (virtualKey) {
        if (event == FL_KEYDOWN &&
            feedsAsCharacter(key, virtualKey, Fl::event_text(), Fl::event_state(FL_SHIFT))) {
            inputPacketChar(nullptr, Fl::event_text()[0]);
            return;
        }
        inputKey(nullptr, message, virtualKey);
        return;
    }
    // A character without a key code of its own here (accented letters and the like).
    if (event == FL_KEYDOWN && Fl::event_length() == 1 &&
        static_cast<unsigned char>(Fl::event_text()[0]) >= 32)
        inputPacketChar(nullptr, Fl::event_text()[0]);
}

int dispatchEvent(int event, Fl_Window* window) {
    if (event != FL_KEYDOWN && event != FL_KEYUP)
        return Fl::handle_(event, window);
    // An open menu holds FLTK's grab and takes the keys itself.
    if (Fl::grab())
        return Fl::handle_(event, window);
    // While a modal window is up the keys are its own, whichever window the X server gave
    // them to (without a window manager the focus does not follow new windows).
    if (Fl::modal())
        window = Fl::modal();
    const HWND top = topLevelOfFlWindow(window);
    if (top) {
        if (Fl::event_state(FL_ALT)) {
            if (event == FL_KEYDOWN && Fl::event_key() == FL_F + 4) {
                inputClose(top);
                return 1;
            }
            return Fl::handle_(event, window); // Alt+letter: the menu bar's mnemonics
        }
        feedKey(event);
        return 1;
    }
    return Fl::handle_(event, window);
}

void start() {
    FltkBackend& backend = fltkBackend();
    if (backend.started)
        return;
    // Without a display there is nothing to show: say so plainly instead of crashing.
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr,
                     "quillfen: cannot open the X display %s%s%s. Run it on a desktop, or under "
                     "xvfb-run for a virtual screen.\n",
                     name ? "\"" : "(DISPLAY is not set)", name ? name : "", name ? "\"" : "");
        std::exit(1);
    }
    fl_open_display(display);
    backend.started = true;
    const Fl_Color face = fltk_look::face();
    Fl::background(uchar(face >> 24), uchar(face >> 16), uchar(face >> 8));
    Fl::event_dispatch(dispatchEvent);
    fltk_look::installFont();
    installMenuLabelType();
}

} // namespace

FltkBackend& fltkBackend() {
    static FltkBackend backend;
    return backend;
}

NativeView* nativeViewOf(HWND window) {
    auto& views = fltkBackend().views;
    const auto found = views.find(window);
    return found == views.end() ? nullptr : &found->second;
}

Fl_Window* hostWindowOf(HWND window) {
    if (!window)
        return nullptr;
    const NativeView* view = nativeViewOf(layer::topLevelOf(window));
    return view ? view->topLevel : nullptr;
}

HostBox clientBoxInHost(HWND window) {
    const layer::Window* w = layer::windowOf(window);
    if (!w)
        return {0, 0, 0, 0};
    const POINT origin = clientOriginInHost(window);
    const RECT client = layer::clientRectOf(*w);
    return {origin.x, origin.y, client.right, client.bottom};
}

const Backend& programBackend() {
    static const Backend backend = [] {
        Backend b{};
        b.name = "fltk";
        b.createView = createView;
        b.updateView = updateView;
        b.destroyView = destroyView;
        b.waitForInput = waitForInput;
        b.messageBox = messageBox;
        b.openFileName = openFileName;
        b.getDc = getDc;
        b.fillRect = fillRect;
        b.choosePixelFormat = choosePixelFormat;
        b.describePixelFormat = describePixelFormat;
        b.setPixelFormat = setPixelFormat;
        b.createContext = createContext;
        b.makeCurrent = makeCurrent;
        b.deleteContext = deleteContext;
        b.present = present;
        b.tickCount = tickCount;
        b.waitForInputFor = waitForInputFor;
        return b;
    }();
    start();
    return backend;
}
