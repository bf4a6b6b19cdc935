// Editing the polygon list on the user's commands. Each operation keeps three things in step:
// the list, the entries of "PolyList" (one per Polygon, its name, in list order) and the
// current polygon, which sits at the selected entry.
#pragma once

#include "platform/winapi.h"

void addPolygon();
void duplicatePolygon();
void movePolygonUp();
void movePolygonDown();
void removePolygon();
void removeAllPolygons();
void renamePolygon();
void selectPolygon(); // the user selected another entry of "PolyList"

// Refills "PolyList" from the list, head first; afterwards nothing is selected.
void refillPolygonList();

// Exchanges the Polygon at index with its successor by relinking, keeping the list head
// right. False when there is no successor.
bool swapWithNext(int index);

// The Rename dialog (template 108).
INT_PTR CALLBACK nameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
