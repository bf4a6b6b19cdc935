// Menus: loading from resources, the marks and states of items, and picks from the menu bar.
#include "platform/layer.h"

using namespace layer;

namespace {

HMENU newMenu() {
    uintptr_t handle = newHandle();
    state().menus.emplace(handle, std::make_unique<Menu>());
    return reinterpret_cast<HMENU>(handle);
}

// Builds one level from the flat resource list: entries at `depth`, each followed by its
// deeper entries when it is a pop-up.
HMENU buildLevel(std::span<const MenuItemResource> items, size_t& next, int depth) {
    HMENU handle = newMenu();
    while (next < items.size() && items[next].depth == depth) {
        const MenuItemResource& entry = items[next++];
        MenuItem item;
        item.text = entry.text ? entry.text : "";
        item.id = entry.id;
        item.state = entry.flags & (MF_CHECKED | MF_GRAYED | MF_DISABLED);
        item.separator = entry.text == nullptr;
        if (next < items.size() && items[next].depth > depth)
            item.popup = buildLevel(items, next, depth + 1);
        menuOf(handle)->items.push_back(item);
    }
    return handle;
}

// The menu holding the item and its position there, by command or by position.
bool locate(HMENU& menu, UINT& item, UINT flags) {
    Menu* m = menuOf(menu);
    if (!m)
        return false;
    if (flags & MF_BYPOSITION)
        return item < m->items.size();
    for (UINT i = 0; i < m->items.size(); ++i) {
        const MenuItem& entry = m->items[i];
        if (entry.popup) {
            HMENU sub = entry.popup;
            UINT inner = item;
            if (locate(sub, inner, flags)) {
                menu = sub;
                item = inner;
                return true;
            }
        } else if (!entry.separator && entry.id == item) {
            item = i;
            return true;
        }
    }
    return false;
}

// Menus do not know their parents; every menu bar is told, and there is one.
void menusChanged() {
    for (auto& [handle, m] : state().menus) {
        if (m->window)
            viewChanged(m->window, ViewMenu);
    }
}

} // namespace

namespace layer {

MenuItem* findMenuItem(HMENU menu, UINT id) {
    UINT position = id;
    if (!locate(menu, position, MF_BYCOMMAND))
        return nullptr;
    return &menuOf(menu)->items[position];
}

} // namespace layer

HMENU WINAPI LoadMenuA(HINSTANCE instance, LPCSTR name) {
    const ResourceTable* table = resourcesOf(instance);
    int id = resourceNumber(name);
    if (!table || id < 0)
        return nullptr;
    for (const MenuResource& resource : table->menus) {
        if (resource.id != id)
            continue;
        size_t next = 0;
        HMENU menu = buildLevel(resource.items, next, 0);
        if (next != resource.items.size()) { // a malformed list, as a broken resource
            DestroyMenu(menu);
            return nullptr;
        }
        return menu;
    }
    return nullptr;
}

HMENU WINAPI GetMenu(HWND window) {
    Window* w = windowOf(window);
    return w && !w->parent ? w->menu : nullptr;
}

BOOL WINAPI DestroyMenu(HMENU menu) {
    Menu* m = menuOf(menu);
    if (!m)
        return FALSE;
    std::vector<HMENU> popups;
    for (const MenuItem& item : m->items) {
        if (item.popup)
            popups.push_back(item.popup);
    }
    if (Window* w = windowOf(m->window); w && w->menu == menu)
        w->menu = nullptr;
    state().menus.erase(reinterpret_cast<uintptr_t>(menu));
    for (HMENU popup : popups)
        DestroyMenu(popup);
    return TRUE;
}

BOOL WINAPI CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
    HMENU firstMenu = menu, lastMenu = menu, checkMenu = menu;
    if (!locate(firstMenu, first, flags) || !locate(lastMenu, last, flags))
        return FALSE;
    if (firstMenu != lastMenu || first > last)
        return FALSE;
    bool checkFound = locate(checkMenu, check, flags) && checkMenu == firstMenu;
    Menu* m = menuOf(firstMenu);
    BOOL marked = FALSE;
    for (UINT i = first; i <= last; ++i) {
        MenuItem& item = m->items[i];
        if (checkFound && i == check) {
            item.radio = true;
            item.state |= MF_CHECKED;
            marked = TRUE;
        } else {
            item.state &= ~static_cast<UINT>(MF_CHECKED);
        }
    }
    menusChanged();
    return marked;
}

DWORD WINAPI CheckMenuItem(HMENU menu, UINT item, UINT check) {
    if (!locate(menu, item, check))
        return static_cast<DWORD>(-1);
    MenuItem& entry = menuOf(menu)->items[item];
    DWORD previous = entry.state & MF_CHECKED;
    if (check & MF_CHECKED)
        entry.state |= MF_CHECKED;
    else
        entry.state &= ~static_cast<UINT>(MF_CHECKED);
    menusChanged();
    return previous;
}

BOOL WINAPI EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    if (!locate(menu, item, enable))
        return -1;
    MenuItem& entry = menuOf(menu)->items[item];
    BOOL previous = static_cast<BOOL>(entry.state & (MF_GRAYED | MF_DISABLED));
    entry.state = (entry.state & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED)) |
                  (enable & (MF_GRAYED | MF_DISABLED));
    menusChanged();
    return previous;
}

UINT WINAPI GetMenuState(HMENU menu, UINT item, UINT flags) {
    if (!locate(menu, item, flags))
        return static_cast<UINT>(-1);
    const MenuItem& entry = menuOf(menu)->items[item];
    UINT result = entry.state;
    if (entry.separator)
        result |= MF_SEPARATOR;
    if (entry.radio)
        result |= MFT_RADIOCHECK;
    if (Menu* popup = menuOf(entry.popup))
        result |= MF_POPUP | (static_cast<UINT>(popup->items.size()) << 8);
    return result;
}

int WINAPI GetMenuItemCount(HMENU menu) {
    Menu* m = menuOf(menu);
    return m ? static_cast<int>(m->items.size()) : -1;
}

HMENU WINAPI GetSubMenu(HMENU menu, int position) {
    Menu* m = menuOf(menu);
    if (!m || position < 0 || position >= static_cast<int>(m->items.size()))
        return nullptr;
    return m->items[static_cast<size_t>(position)].popup;
}

// The item's text as written, '&' and tab included; its length, 0 for none.
int WINAPI GetMenuStringA(HMENU menu, UINT item, LPSTR text, int size, UINT flags) {
    if (!locate(menu, item, flags))
        return 0;
    const std::string& whole = menuOf(menu)->items[item].text;
    if (!text || size <= 0)
        return static_cast<int>(whole.size());
    return copyText(whole, text, size);
}

bool inputMenuPick(HWND window, UINT id) {
    Window* w = windowOf(window);
    if (!w || w->parent || !w->menu)
        return false;
    MenuItem* item = findMenuItem(w->menu, id);
    if (!item || (item->state & (MF_GRAYED | MF_DISABLED)))
        return false;
    if (!isEnabledForInput(window)) { // a modal dialog is open over it
        ++state().droppedInput;
        return false;
    }
    postInput(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return true;
}
