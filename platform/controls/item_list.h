// The item list that list boxes and combo boxes share: each item's text with its item data,
// and the selection, which follows its item as others come and go.
#pragma once

#include "platform/winapi.h"

#include <string>
#include <vector>

namespace layer {

struct ListItem {
    std::string text;
    LPARAM data = 0; // LB_SETITEMDATA / CB_SETITEMDATA
};

struct ItemList {
    std::vector<ListItem> entries;
    int selected = -1; // -1 = none
};

int itemCount(const ItemList& list);
bool validIndex(const ItemList& list, WPARAM index);
// Inserts at `index` (-1: the end; sorted: where it belongs, after equal entries). Returns
// the index, or -1 when `index` lies past the end.
int insertItem(ItemList& list, int index, const char* text, bool sorted);
// False for a bad index. The selection is -1 when its item was removed.
bool removeItem(ItemList& list, int index);
void clearItems(ItemList& list); // and the selection
// The item data of item `index`, or -1 (LB_ERR, CB_ERR) for a bad index.
LRESULT itemData(const ItemList& list, WPARAM index);
bool setItemData(ItemList& list, WPARAM index, LPARAM data); // false for a bad index
// The first item after `start` (-1: from the top), wrapping round, whose text begins with
// (or, exact, equals) `text`, ignoring case; -1 when none.
int findItem(const ItemList& list, WPARAM start, const char* text, bool exact);
// Copies item `index` and its terminator into `buffer`, which must hold it (the real call
// takes no size). Returns its length, or -1 for a bad index.
int copyItem(const ItemList& list, WPARAM index, LPSTR buffer);

} // namespace layer
