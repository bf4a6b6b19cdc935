// The item list that list boxes and combo boxes share.
#include "platform/controls/item_list.h"
#include "platform/layer.h"

#include <cstring>

namespace layer {

int itemCount(const ItemList& list) {
    return static_cast<int>(list.entries.size());
}

bool validIndex(const ItemList& list, WPARAM index) {
    return index < list.entries.size();
}

int insertItem(ItemList& list, int index, const char* text, bool sorted) {
    int count = itemCount(list);
    std::string item = text ? text : "";
    if (sorted) {
        std::string key = lowerCase(item.c_str());
        index = count;
        for (int i = 0; i < count; ++i) {
            if (lowerCase(list.entries[i].text.c_str()) > key) {
                index = i;
                break;
            }
        }
    } else if (index == -1) {
        index = count;
    } else if (index < 0 || index > count) {
        return -1;
    }
    list.entries.insert(list.entries.begin() + index, ListItem{.text = item});
    if (list.selected >= index)
        ++list.selected;
    return index;
}

bool removeItem(ItemList& list, int index) {
    if (index < 0 || !validIndex(list, static_cast<WPARAM>(index)))
        return false;
    list.entries.erase(list.entries.begin() + index);
    if (list.selected == index)
        list.selected = -1;
    else if (list.selected > index)
        --list.selected;
    return true;
}

void clearItems(ItemList& list) {
    list.entries.clear();
    list.selected = -1;
}

LRESULT itemData(const ItemList& list, WPARAM index) {
    return validIndex(list, index) ? list.entries[index].data : -1;
}

bool setItemData(ItemList& list, WPARAM index, LPARAM data) {
    if (!validIndex(list, index))
        return false;
    list.entries[index].data = data;
    return true;
}

int findItem(const ItemList& list, WPARAM start, const char* text, bool exact) {
    int count = itemCount(list);
    if (count == 0 || !text)
        return -1;
    int first = static_cast<int>(start);
    if (first < -1 || first >= count)
        first = -1;
    std::string key = lowerCase(text);
    for (int step = 1; step <= count; ++step) {
        int i = (first + step) % count;
        std::string item = lowerCase(list.entries[i].text.c_str());
        if (exact ? item == key : item.compare(0, key.size(), key) == 0)
            return i;
    }
    return -1;
}

int copyItem(const ItemList& list, WPARAM index, LPSTR buffer) {
    if (!validIndex(list, index))
        return -1;
    const std::string& item = list.entries[index].text;
    if (buffer)
        std::memcpy(buffer, item.c_str(), item.size() + 1);
    return static_cast<int>(item.size());
}

} // namespace layer
