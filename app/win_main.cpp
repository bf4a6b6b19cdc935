#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>

#include "app/main_window.h"
#include "app/shell.h"
#include "app/start_up.h"
#include "panel/panel.h"
#include "panel/panel_sync.h"
#include "render/render_frame.h"
#include "render/view_frame.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"

namespace {

const char* const mainWindowClass = "TestBedWindow";

bool glFailure(const char* text) {
    MessageBoxA(nullptr, text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

HWND createMainWindow() {
    HMENU menu = LoadMenuA(instanceHandle, MAKEINTRESOURCEA(menuResource));
    // No maximise box and no sizing border: the layout is fixed.
    return CreateWindowExA(0, mainWindowClass, "GL Quillfen v0.94",
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE,
                           50, 50, 850, 566, nullptr, menu, instanceHandle, nullptr);
}

HWND createViewFrame() {
    // SS_NOTIFY lets the static control receive the mouse.
    return CreateWindowExA(WS_EX_STATICEDGE, "STATIC", "glFrame",
                           WS_CHILD | WS_VISIBLE | SS_BLACKRECT | SS_NOTIFY, 6, 6, 512, 512,
                           mainWindow, nullptr, instanceHandle, nullptr);
}

void hookViewFrame() {
    previousViewFrameProc = WNDPROC(GetWindowLongPtrA(viewFrame, GWLP_WNDPROC));
    SetWindowLongPtrA(viewFrame, GWLP_WNDPROC, LONG_PTR(viewFrameProc));
}

} // namespace

bool registerMainWindowClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instanceHandle;
    windowClass.hIcon = LoadIconA(instanceHandle, MAKEINTRESOURCEA(iconResource));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = HBRUSH(INT_PTR(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = mainWindowClass;
    return RegisterClassExA(&windowClass) != 0;
}

bool createGlContext() {
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 16;
    format.iLayerType = PFD_MAIN_PLANE;

    viewFrameDc = GetDC(viewFrame);
    if (!viewFrameDc)
        return glFailure("Can't Create A GL Device Context.");
    int formatIndex = ChoosePixelFormat(viewFrameDc, &format);
    if (formatIndex == 0)
        return glFailure("Can't Find A Suitable PixelFormat.");
    if (!SetPixelFormat(viewFrameDc, formatIndex, &format))
        return glFailure("Can't Set The PixelFormat.");
    HGLRC context = wglCreateContext(viewFrameDc);
    if (!context)
        return glFailure("Can't Create A GL Rendering Context.");
    if (!wglMakeCurrent(viewFrameDc, context))
        return glFailure("Can't Activate The GL Rendering Context.");
    return true;
}

void runMessageLoop(HACCEL accelerators) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorA(mainWindow, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        paintSwatch();
        // Draw once per burst: only when nothing more for the main window waits.
        MSG waiting;
        if (!PeekMessageA(&waiting, mainWindow, 0, 0, PM_NOREMOVE))
            renderFrame();
    }
}

void resetProgramState() {
    resetScene();
    resetPanelHandles();
    resetViewFrameDrag();
    resetViewAngles();
    instanceHandle = nullptr;
    mainWindow = nullptr;
    viewFrame = nullptr;
    previousViewFrameProc = nullptr;
    viewFrameDc = nullptr;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    instanceHandle = instance;
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(acceleratorResource));
    InitCommonControls();
    HMODULE richEdit = LoadLibraryA("riched32.dll"); // without it About has no history text

    if (!registerMainWindowClass()) {
        MessageBoxA(nullptr, "Register WinClass Failed!", "Fatal", MB_OK | MB_ICONERROR);
    } else if (!(mainWindow = createMainWindow())) {
        MessageBoxA(nullptr, "Create Window Failed", "Fatal", MB_OK | MB_ICONERROR);
    } else {
        viewFrame = createViewFrame();
        createPanel(mainWindow);
        hookViewFrame();
        createGlContext(); // after a failure the program runs on without drawing
        runMessageLoop(accelerators);
    }
    if (richEdit)
        FreeLibrary(richEdit);
    return 0;
}
