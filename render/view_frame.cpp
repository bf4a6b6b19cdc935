#include "render/view_frame.h"

#include "app/shell.h"
#include "render/render_frame.h"
#include "scene/scene.h"

namespace {

bool dragActive = false; // a left-button drag is in progress
int dragPointerX = 0;    // pointer at button-down, client coordinates
int dragPointerY = 0;
int dragAnchorX = 0; // at button-down: the polygon's x (2D) or whole degrees of viewAngleY (3D)
int dragAnchorY = 0; // the polygon's y (2D) or whole degrees of viewAngleX (3D)

// One unit (2D) or one degree (3D) per two pixels, toward zero.
int half(int pixels) {
    return int(pixels * 0.5);
}

int pointerX(LPARAM lParam) {
    return short(LOWORD(lParam));
}
int pointerY(LPARAM lParam) {
    return short(HIWORD(lParam));
}

// applyDrag: always measured from the button-down position, never from the previous move.
// Keys stay active during a drag, so the polygon taken at button-down may have been removed or
// replaced as current. No pointer to it is kept: each move goes to the polygon current at that
// moment (which the list operations keep inside the list), from the button-down anchors. With
// none current a 2D move writes nothing and the drag waits for the next polygon or button-up.
void applyDrag(int x, int y) {
    int dx = x - dragPointerX;
    int dy = y - dragPointerY;
    if (orthographic) {
        if (!currentPolygon)
            return;
        currentPolygon->x = dragAnchorX + half(dx);
        currentPolygon->y = dragAnchorY + half(dy);
    } else {
        viewAngleY = float(dragAnchorX + half(dx));
        viewAngleX = float(dragAnchorY + half(dy));
    }
}

// onButtonDown: with a polygon to work on, takes the anchors and the mouse capture.
void onButtonDown(HWND window, int x, int y) {
    if (!currentPolygon)
        return;
    if (orthographic) {
        dragAnchorX = currentPolygon->x;
        dragAnchorY = currentPolygon->y;
    } else {
        dragAnchorX = int(viewAngleY);
        dragAnchorY = int(viewAngleX);
    }
    dragPointerX = x;
    dragPointerY = y;
    dragActive = true;
    SetCapture(window);
}

// onMouseMove: follows the pointer while dragging.
void onMouseMove(int x, int y) {
    if (dragActive)
        applyDrag(x, y);
}

// onButtonUp: the last move, then the drag ends; without a polygon the drag goes on.
void onButtonUp(int x, int y) {
    if (!currentPolygon || !dragActive)
        return;
    applyDrag(x, y);
    dragActive = false;
    ReleaseCapture();
}

} // namespace

// Every message ends in the STATIC control's own procedure.
LRESULT CALLBACK viewFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: renderFrame(); break; // the frame first, then the control paints
    case WM_LBUTTONDOWN: onButtonDown(window, pointerX(lParam), pointerY(lParam)); break;
    case WM_MOUSEMOVE: onMouseMove(pointerX(lParam), pointerY(lParam)); break;
    case WM_LBUTTONUP: onButtonUp(pointerX(lParam), pointerY(lParam)); break;
    }
    return CallWindowProcA(previousViewFrameProc, window, message, wParam, lParam);
}

void resetViewFrameDrag() {
    dragActive = false;
    dragPointerX = 0;
    dragPointerY = 0;
    dragAnchorX = 0;
    dragAnchorY = 0;
}
