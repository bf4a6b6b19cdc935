// Draws the whole scene into the view frame and presents it.
#pragma once

extern float viewAngleY; // turn of the 3D view about the y axis, degrees
extern float viewAngleX; // turn of the 3D view about the x axis, degrees
void resetViewAngles();  // the 3D view as it starts, square on

// One complete frame from the polygon list, the display options and the view angles.
// Needs the GL context current on the view frame's device context.
void renderFrame();
// The same frame drawn into the back buffer and left there, not presented.
void drawFrame();
