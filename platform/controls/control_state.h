// The record each of the layer's controls keeps, made at WM_CREATE and freed at WM_DESTROY.
// Backends draw from these; the headless test API reads them. Each accessor gives nullptr for a
// window that is not of that class (or not yet created).
#pragma once

#include "platform/controls/item_list.h"
#include "platform/winapi.h"

#include <string>
#include <vector>

namespace layer {

struct ButtonState {
    HWND owner;    // receives the notifications
    int check;     // BST_UNCHECKED / BST_CHECKED / BST_INDETERMINATE
    bool pushed;   // drawn pressed: button down over it, or Space held
    bool tracking; // left button went down on it and has not come up
};

struct StaticState {
    HWND owner;
    HBITMAP bitmap; // SS_BITMAP image (STM_SETIMAGE or the template)
};

struct EditState {
    HWND owner;
    int selStart; // selection, in characters; caret at selEnd
    int selEnd;
    int limit;      // most characters the user may type
    bool selecting; // left button held after a click in it
};

struct ListBoxState {
    HWND owner;
    ItemList items;               // with the selection
    int topIndex;                 // first visible row
    int itemHeight;               // pixels per row
    bool tracking;                // left button held after a click in it
};

struct ComboBoxState {
    HWND owner;
    ItemList items;  // the edit field may hold other text than the selected item's (window text)
    bool dropped;    // the list is open below the field
    int fieldHeight; // height of the edit field (the window's own height)
    int dropHeight;  // height given at creation, field and list together
    int itemHeight;
    int selStart; // selection in the edit field
    int selEnd;
};

struct TrackbarState {
    HWND owner;
    int min;
    int max;
    int pos;
    int lineSize;  // arrow keys
    int pageSize;  // Page Up/Down and channel clicks
    bool dragging; // thumb held
    bool paging;   // channel held
    bool autoPage; // page size follows the range (a fifth of it) until set
};

const ButtonState* buttonState(HWND window);
const StaticState* staticState(HWND window);
const EditState* editState(HWND window);
const ListBoxState* listBoxState(HWND window);
const ComboBoxState* comboBoxState(HWND window);
const TrackbarState* trackbarState(HWND window);

// Geometry shared by input and drawing.
int trackbarThumbX(HWND trackbar, int position); // client x of the thumb's centre
constexpr int trackbarMargin = 8;                // thumb centre travel starts this far in
constexpr int comboArrowWidth = 17;

} // namespace layer
