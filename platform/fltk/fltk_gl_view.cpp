#include "platform/fltk/fltk_gl_view.h"

#include "platform/backend.h"
#include "platform/fltk/fltk_backend.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <GL/glx.h>

#include <algorithm>

GlViewWindow::GlViewWindow(HWND window, int x, int y, int w, int h, const int* glxAttributes)
    : Fl_Gl_Window(x, y, w, h), window_(window) {
    mode(glxAttributes);
    end();
}

void GlViewWindow::flush() {
    ++fltkBackend().paintRequests;
    inputExpose(window_);
}

int GlViewWindow::handle(int event) {
    // The client area starts at this window's corner; past its edges the coordinates go
    // negative or beyond the size, and the layer's capture keeps them coming here.
    switch (event) {
    case FL_PUSH:
        if (Fl::event_button() == FL_LEFT_MOUSE)
            inputMouse(window_, WM_LBUTTONDOWN, Fl::event_x(), Fl::event_y());
        return 1;
    case FL_DRAG:
        if (Fl::event_state(FL_BUTTON1))
            inputMouse(window_, WM_MOUSEMOVE, Fl::event_x(), Fl::event_y());
        return 1;
    case FL_RELEASE:
        if (Fl::event_button() == FL_LEFT_MOUSE)
            inputMouse(window_, WM_LBUTTONUP, Fl::event_x(), Fl::event_y());
        return 1;
    case FL_ENTER:
    case FL_LEAVE:
    case FL_MOVE: return 1;
    default: return Fl_Gl_Window::handle(event);
    }
}

namespace {

// The GLX request for a descriptor: RGBA with at least one bit a colour, and alpha, depth,
// stencil and accumulation buffers only where asked for.
std::vector<int> glxAttributesFor(const PIXELFORMATDESCRIPTOR& wanted) {
    std::vector<int> a = {GLX_RGBA, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1};
    if (wanted.dwFlags & PFD_DOUBLEBUFFER)
        a.push_back(GLX_DOUBLEBUFFER);
    if (wanted.cAlphaBits)
        a.insert(a.end(), {GLX_ALPHA_SIZE, 1});
    if (wanted.cDepthBits)
        a.insert(a.end(), {GLX_DEPTH_SIZE, int(wanted.cDepthBits)});
    if (wanted.cStencilBits)
        a.insert(a.end(), {GLX_STENCIL_SIZE, int(wanted.cStencilBits)});
    if (wanted.cAccumBits)
        a.insert(a.end(), {GLX_ACCUM_RED_SIZE, 1, GLX_ACCUM_GREEN_SIZE, 1, GLX_ACCUM_BLUE_SIZE, 1});
    a.push_back(None);
    return a;
}

int shiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1))
        mask >>= 1, ++shift;
    return shift;
}

// What the visual GLX picks for the attributes really has.
bool describeVisual(std::vector<int>& attributes, PIXELFORMATDESCRIPTOR& d) {
    XVisualInfo* visual = glXChooseVisual(fl_display, fl_screen, attributes.data());
    if (!visual)
        return false;
    auto config = [&](int attribute) {
        int value = 0;
        glXGetConfig(fl_display, visual, attribute, &value);
        return value;
    };
    d = PIXELFORMATDESCRIPTOR{};
    d.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    d.nVersion = 1;
    d.dwFlags =
        PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (config(GLX_DOUBLEBUFFER) ? PFD_DOUBLEBUFFER : 0);
    d.iPixelType = PFD_TYPE_RGBA;
    d.cRedBits = BYTE(config(GLX_RED_SIZE));
    d.cGreenBits = BYTE(config(GLX_GREEN_SIZE));
    d.cBlueBits = BYTE(config(GLX_BLUE_SIZE));
    d.cAlphaBits = BYTE(config(GLX_ALPHA_SIZE));
    d.cColorBits = BYTE(d.cRedBits + d.cGreenBits + d.cBlueBits);
    d.cRedShift = BYTE(shiftOf(visual->red_mask));
    d.cGreenShift = BYTE(shiftOf(visual->green_mask));
    d.cBlueShift = BYTE(shiftOf(visual->blue_mask));
    d.cAccumRedBits = BYTE(config(GLX_ACCUM_RED_SIZE));
    d.cAccumGreenBits = BYTE(config(GLX_ACCUM_GREEN_SIZE));
    d.cAccumBlueBits = BYTE(config(GLX_ACCUM_BLUE_SIZE));
    d.cAccumAlphaBits = BYTE(config(GLX_ACCUM_ALPHA_SIZE));
    d.cAccumBits = BYTE(d.cAccumRedBits + d.cAccumGreenBits + d.cAccumBlueBits + d.cAccumAlphaBits);
    d.cDepthBits = BYTE(config(GLX_DEPTH_SIZE));
    d.cStencilBits = BYTE(config(GLX_STENCIL_SIZE));
    d.iLayerType = PFD_MAIN_PLANE;
    XFree(visual);
    return true;
}

GlViewWindow* glViewOf(HWND window) {
    NativeView* view = nativeViewOf(window);
    return view ? view->gl : nullptr;
}

} // namespace

int choosePixelFormat(HWND window, const PIXELFORMATDESCRIPTOR& wanted) {
    if (!nativeViewOf(window) || wanted.iPixelType != PFD_TYPE_RGBA ||
        !(wanted.dwFlags & PFD_SUPPORT_OPENGL))
        return 0;
    auto& formats = fltkBackend().pixelFormats;
    std::vector<int> attributes = glxAttributesFor(wanted);
    for (size_t i = 0; i < formats.size(); ++i)
        if (formats[i].glxAttributes == attributes)
            return int(i + 1);
    PIXELFORMATDESCRIPTOR described{};
    if (!describeVisual(attributes, described))
        return 0;
    formats.push_back({std::move(attributes), described});
    return int(formats.size());
}

bool describePixelFormat(int format, PIXELFORMATDESCRIPTOR& described) {
    const auto& formats = fltkBackend().pixelFormats;
    if (format < 1 || format > int(formats.size()))
        return false;
    described = formats[format - 1].described;
    return true;
}

bool setPixelFormat(HWND window, int format) {
    NativeView* view = nativeViewOf(window);
    auto& formats = fltkBackend().pixelFormats;
    if (!view || !view->widget || format < 1 || format > int(formats.size()))
        return false;
    // A window's pixel format is set once for its life.
    if (view->pixelFormat)
        return view->pixelFormat == format;
    Fl_Window* host = hostWindowOf(window);
    if (!host)
        return false;
    const HostBox client = clientBoxInHost(window);
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    view->gl = new GlViewWindow(window, client.x, client.y, client.w, client.h,
                                formats[format - 1].glxAttributes.data());
    Fl_Group::current(saved);
    host->add(view->gl);
    view->pixelFormat = format;
    if (host->shown() && view->widget->visible())
        view->gl->show();
    return true;
}

void* createContext(HWND window) {
    GlViewWindow* gl = glViewOf(window);
    if (!gl)
        return nullptr;
    // GLX needs the X window; the context is made once and kept for the view's whole life,
    // so textures made in it stay valid.
    if (!gl->shown())
        gl->show();
    if (!gl->shown())
        return nullptr;
    if (gl->context())
        return gl->context();
    // FLTK makes the context in make_current and leaves it current; making a context must
    // not change which one is current, so put that back.
    const GLXContext before = glXGetCurrentContext();
    const GLXDrawable beforeDrawable = glXGetCurrentDrawable();
    gl->make_current();
    glXMakeCurrent(fl_display, before ? beforeDrawable : None, before);
    return gl->context();
}

bool makeCurrent(HWND window, void* context) {
    if (!window && !context) {
        glXMakeCurrent(fl_display, None, nullptr);
        return true;
    }
    GlViewWindow* gl = glViewOf(window);
    if (!gl || !context || gl->context() != context || !gl->shown())
        return false;
    // Straight to GLX: FLTK's make_current would skip the call when it believes the context
    // is still current from before a release.
    return glXMakeCurrent(fl_display, fl_xid(gl), static_cast<GLXContext>(context));
}

void deleteContext(void* context) {
    for (auto& [window, view] : fltkBackend().views) {
        if (!view.gl || view.gl->context() != context)
            continue;
        if (glXGetCurrentContext() == static_cast<GLXContext>(context))
            glXMakeCurrent(fl_display, None, nullptr);
        view.gl->context(nullptr, 1); // frees the one FLTK made
        return;
    }
}

bool present(HWND window) {
    GlViewWindow* gl = glViewOf(window);
    if (!gl || !gl->shown() || !gl->context())
        return false;
    gl->swap_buffers();
    return true;
}
