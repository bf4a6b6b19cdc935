// Keeps the panel and the current polygon in step, in both directions.
#pragma once

#include "platform/winapi.h"

// Shows the current polygon in the panel, or neutral values when there is none.
void refreshPanel();

// Fills "ColFrame" with the current polygon's colour, black without one.
void paintSwatch();

// A trackbar moved: stores its value in the current polygon. False when not handled.
bool onPanelScroll(WPARAM wParam, LPARAM lParam);

// Check box, combo box and value field notifications. False when not handled.
bool onPanelCommand(int id, int code);
