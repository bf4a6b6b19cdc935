#include "render/view_frame.h"

#include "app/shell.h"
#include "render/render_frame.h"

// Every message ends in the STATIC control's own procedure.
LRESULT CALLBACK viewFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: renderFrame(); break; // the frame first, then the control paints
    }
    return CallWindowProcA(previousViewFrameProc, window, message, wParam, lParam);
}
