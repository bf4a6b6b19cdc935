#include "scene/polygon_list.h"

#include <cstdio>
#include <string>

#include "app/shell.h"
#include "panel/panel.h"
#include "panel/panel_sync.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "texture/picture_copy.h"

namespace {

int selectedIndex() {
    return int(SendMessageA(polygonListBox, LB_GETCURSEL, 0, 0));
}

void selectEntry(int index) {
    SendMessageA(polygonListBox, LB_SETCURSEL, WPARAM(index), 0);
}

void selectLastEntry() {
    int count = int(SendMessageA(polygonListBox, LB_GETCOUNT, 0, 0));
    selectEntry(count - 1);
}

// The Polygon index steps from the head, or nullptr past the tail.
scene::Polygon* polygonAt(int index) {
    if (index < 0)
        return nullptr;
    scene::Polygon* polygon = polygonListHead;
    while (polygon && index-- > 0)
        polygon = polygon->next;
    return polygon;
}

void linkAtTail(scene::Polygon* polygon) {
    if (!polygonListHead) {
        polygonListHead = polygon;
        return;
    }
    scene::Polygon* tail = polygonListHead;
    while (tail->next)
        tail = tail->next;
    tail->next = polygon;
}

void showOutOfMemory() {
    MessageBoxA(mainWindow, "Not enough memory for another polygon", "Error", MB_OK);
}

// showNewCurrent: the new tail becomes current, selected and shown.
void showNewCurrent(scene::Polygon* polygon) {
    currentPolygon = polygon;
    refillPolygonList();
    selectLastEntry();
    refreshPanel();
}

} // namespace

void refillPolygonList() {
    SendMessageA(polygonListBox, LB_RESETCONTENT, 0, 0);
    for (const scene::Polygon* polygon = polygonListHead; polygon; polygon = polygon->next)
        SendMessageA(polygonListBox, LB_ADDSTRING, 0, LPARAM(polygon->name));
}

bool swapWithNext(int index) {
    scene::Polygon* before = index > 0 ? polygonAt(index - 1) : nullptr;
    scene::Polygon* first = polygonAt(index);
    if (!first || !first->next)
        return false;
    scene::Polygon* second = first->next;
    first->next = second->next;
    second->next = first;
    if (before)
        before->next = second;
    else
        polygonListHead = second;
    return true;
}

void addPolygon() {
    // Made before the counter moves, so a failure uses up no number.
    scene::Polygon* polygon = makePolygon();
    if (!polygon)
        return showOutOfMemory();
    std::snprintf(polygon->name, sizeof polygon->name, "Poly %d", polygonCounter);
    ++polygonCounter;
    linkAtTail(polygon);
    showNewCurrent(polygon);
}

void duplicatePolygon() {
    if (!currentPolygon) {
        MessageBoxA(mainWindow, "Nothing to duplicate", "Error", MB_OK);
        return;
    }
    scene::Polygon* copy = makePolygon();
    if (!copy)
        return showOutOfMemory();
    *copy = *currentPolygon;
    copy->next = nullptr; // the copy stays the tail
    if (!copyPicture(*currentPolygon, *copy)) {
        releasePolygon(copy);
        return showOutOfMemory();
    }
    // A long source name is cut at the end of the copy's name field.
    std::string name =
        "Poly " + std::to_string(polygonCounter) + " (Copy of " + currentPolygon->name + ")";
    std::snprintf(copy->name, sizeof copy->name, "%s", name.c_str());
    ++polygonCounter;
    linkAtTail(copy);
    showNewCurrent(copy);
}

void movePolygonUp() {
    if (!polygonListHead)
        return;
    int selected = selectedIndex();
    if (selected <= 0)
        return;
    swapWithNext(selected - 1);
    refillPolygonList();
    refreshPanel();
    selectEntry(selected - 1);
}

void movePolygonDown() {
    if (!polygonListHead)
        return;
    int selected = selectedIndex();
    if (selected < 0)
        return;
    int moved = swapWithNext(selected) ? selected + 1 : selected;
    refillPolygonList();
    refreshPanel();
    selectEntry(moved);
}

void removePolygon() {
    if (!polygonListHead)
        return;
    if (!polygonListHead->next) {
        currentPolygon = nullptr;
        releasePolygon(polygonListHead);
        polygonListHead = nullptr;
        refillPolygonList();
        refreshPanel();
        return;
    }
    int selected = selectedIndex();
    scene::Polygon* removed = polygonAt(selected);
    if (!removed)
        return;
    if (selected == 0) {
        polygonListHead = removed->next;
        currentPolygon = polygonListHead;
    } else {
        // The successor takes the removed one's place; without one the new tail is current.
        scene::Polygon* before = polygonAt(selected - 1);
        before->next = removed->next;
        if (removed->next) {
            currentPolygon = removed->next;
        } else {
            currentPolygon = before;
            --selected;
        }
    }
    releasePolygon(removed);
    refillPolygonList();
    selectEntry(selected);
    refreshPanel();
}

void removeAllPolygons() {
    if (MessageBoxA(mainWindow, "Remove all polygons?", "Warning", MB_OKCANCEL) == IDCANCEL)
        return;
    if (!polygonListHead)
        return;
    while (polygonListHead) {
        scene::Polygon* next = polygonListHead->next;
        releasePolygon(polygonListHead);
        polygonListHead = next;
    }
    currentPolygon = nullptr;
    refillPolygonList();
    refreshPanel(); // the counter keeps counting
}

void renamePolygon() {
    if (!currentPolygon) {
        MessageBoxA(mainWindow, "Nothing to rename", "Error", MB_OK);
        return;
    }
    int selected = selectedIndex();
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(renameDialogResource), mainWindow,
                    nameDialogProc, 0);
    refillPolygonList();
    selectEntry(selected);
}

void selectPolygon() {
    if (!currentPolygon)
        return;
    scene::Polygon* chosen = polygonAt(selectedIndex());
    if (!chosen)
        return;
    currentPolygon = chosen;
    refreshPanel();
}
