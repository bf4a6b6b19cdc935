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
    HWND owner = nullptr;      // receives the notifications
    int check = BST_UNCHECKED; // BST_UNCHECKED / BST_CHECKED / BST_INDETERMINATE
    bool pushed = false;       // drawn pressed: button down over it, or Space held
    bool tracking = false;     // left button went down on it and has not come up
};

struct StaticState {
    HWND owner = nullptr;
    HBITMAP bitmap = nullptr; // SS_BITMAP image (STM_SETIMAGE or the template)
};

struct EditState {
    HWND owner = nullptr;
    int selStart = 0; // selection, in characters; caret at selEnd
    int selEnd = 0;
    int limit = 0;          // most characters the user may type
    bool selecting = false; // left button held after a click in it
};

struct ListBoxState {
    HWND owner = nullptr;
    ItemList items = {};   // with the selection
    int topIndex = 0;      // first visible row
    int itemHeight = 0;    // pixels per row
    bool tracking = false; // left button held after a click in it
};

struct ComboBoxState {
    HWND owner = nullptr;
    ItemList items = {};  // the field may hold another text than the selected item's
    bool dropped = false; // the list is open below the field
    int fieldHeight = 0;  // height of the edit field (the window's own height)
    int dropHeight = 0;   // height given at creation, field and list together
    int itemHeight = 0;
    int selStart = 0; // selection in the edit field
    int selEnd = 0;
    // The user's pick from the list put its text in the field, and nothing since has copied an
    // entry into it (the program's CB_SETCURSEL does not count): the next edit of the field then
    // leaves the list's selection alone, as the real platform's does.
    bool pickedLast = false;
    bool beenFocused = false; // the first focus selects the whole field, later ones keep the caret
};

struct TrackbarState {
    HWND owner = nullptr;
    int min = 0;
    int max = 0;
    int pos = 0;
    int lineSize = 0;      // arrow keys
    int pageSize = 0;      // Page Up/Down and channel clicks
    bool dragging = false; // thumb held
    bool paging = false;   // channel held
    bool autoPage = false; // page size follows the range (a fifth of it) until set
};

const ButtonState* buttonState(HWND window);
const StaticState* staticState(HWND window);
const EditState* editState(HWND window);
const ListBoxState* listBoxState(HWND window);
const ComboBoxState* comboBoxState(HWND window);
const TrackbarState* trackbarState(HWND window);

// Geometry shared by input and drawing.
// The trackbar's parts in client coordinates, as the real platform lays them out, and the
// place along the bar (x, or y when vertical) a drag of the thumb goes to for a position.
RECT trackbarThumbRect(HWND trackbar);
RECT trackbarChannelRect(HWND trackbar);
int trackbarPlaceOf(HWND trackbar, int position);
constexpr int comboArrowWidth = 17;
constexpr int characterWidth = 6; // of the dialog font, for placing a caret from a click

} // namespace layer
