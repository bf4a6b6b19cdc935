// The item list that list boxes and combo boxes share.
#include "platform/controls/item_list.h"
#include "platform/layer.h"

#include <cstring>

namespace layer {

bool validIndex(const ItemListRef& list, WPARAM index) {
    return index < list.items.size();
}

int insertItem(ItemListRef list, int index, const char* text, bool sorted, int& selected) {
    int count = static_cast<int>(list.items.size());
    std::string item = text ? text : "";
    if (sorted) {
        std::string key = lowerCase(item.c_str());
        index = count;
        for (int i = 0; i < count; ++i) {
            if (lowerCase(list.items[i].c_str()) > key) {
                index = i;
                break;
            }
        }
    } else if (index == -1) {
        index = count;
    } else if (index < 0 || index > count) {
        return -1;
    }
    list.items.insert(list.items.begin() + index, item);
    list.itemData.insert(list.itemData.begin() + index, 0);
    if (selected >= index)
        ++selected;
    return index;
}

bool removeItem(ItemListRef list, int index, int& selected) {
    if (index < 0 || !validIndex(list, static_cast<WPARAM>(index)))
        return false;
    list.items.erase(list.items.begin() + index);
    list.itemData.erase(list.itemData.begin() + index);
    if (selected == index)
        selected = -1;
    else if (selected > index)
        --selected;
    return true;
}

int findItem(const ItemListRef& list, WPARAM start, const char* text, bool exact) {
    int count = static_cast<int>(list.items.size());
    if (count == 0 || !text)
        return -1;
    int first = static_cast<int>(start);
    if (first < -1 || first >= count)
        first = -1;
    std::string key = lowerCase(text);
    for (int step = 1; step <= count; ++step) {
        int i = (first + step) % count;
        std::string item = lowerCase(list.items[i].c_str());
        if (exact ? item == key : item.compare(0, key.size(), key) == 0)
            return i;
    }
    return -1;
}

int copyItem(const ItemListRef& list, WPARAM index, LPSTR buffer) {
    if (!validIndex(list, index))
        return -1;
    const std::string& item = list.items[index];
    if (buffer)
        std::memcpy(buffer, item.c_str(), item.size() + 1);
    return static_cast<int>(item.size());
}

} // namespace layer
