// The item list that list boxes and combo boxes share: strings with their item data.
#pragma once

#include "platform/winapi.h"

#include <string>
#include <vector>

namespace layer {

struct ItemListRef {
    std::vector<std::string>& items;
    std::vector<LPARAM>& itemData;
};

// Inserts at `index` (-1: the end; sorted: where it belongs, after equal entries). Returns
// the index, or -1 when `index` lies past the end. `selected` (an index or -1) moves with
// the item it names.
int insertItem(ItemListRef list, int index, const char* text, bool sorted, int& selected);
// False for a bad index. `selected` follows its item, and is -1 when that item was removed.
bool removeItem(ItemListRef list, int index, int& selected);
bool validIndex(const ItemListRef& list, WPARAM index);
// The first item after `start` (-1: from the top), wrapping round, whose text begins with
// (or, exact, equals) `text`, ignoring case; -1 when none.
int findItem(const ItemListRef& list, WPARAM start, const char* text, bool exact);
// Copies item `index` and its terminator into `buffer`, which must hold it (the real call
// takes no size). Returns its length, or -1 for a bad index.
int copyItem(const ItemListRef& list, WPARAM index, LPSTR buffer);

} // namespace layer
