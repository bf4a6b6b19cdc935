// The menu bar of a top-level window, built from the layer's menu: items, separators,
// sub-menus, check and radio marks, grayed items and the key hints after a tab. A pick posts
// the item's command (inputMenuPick); the marks follow the layer's menu on each update.
#pragma once

#include "platform/winapi.h"

#include <FL/Fl_Menu_Item.H>

#include <deque>
#include <string>
#include <vector>

class Fl_Menu_Bar;

struct MenuBarStrings {
    std::deque<std::string> texts;   // stable addresses for the items' labels
    std::vector<Fl_Menu_Item> items; // FLTK's flat array, sub-menus closed by empty items
};

// Registers the label type that draws a drop-down item: mark column, text, right-aligned hint.
void installMenuLabelType();

// `strings` receives the storage the items point into; the caller deletes it with the bar.
Fl_Menu_Bar* makeMenuBar(HWND window, HMENU menu, int width, MenuBarStrings*& strings);
void updateMenuBar(Fl_Menu_Bar* bar, HMENU menu, MenuBarStrings*& strings);
