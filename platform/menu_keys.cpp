// The menu bar driven from the keyboard, as DefWindowProc drives it: Alt pressed and released
// alone highlights the bar's first item; Alt with an item's mnemonic opens that item's menu.
// Then, until a command is chosen or the mode is left, the mode's own loop takes the keys:
// Left and Right move along the bar (opening the neighbour's menu when one was open) or into
// and out of a submenu, Up and Down move in the open menu (Down opens it from the bar), Enter
// opens or chooses, a letter picks the item with that mnemonic, Esc closes one level and Alt
// or a click leaves. Other messages are dispatched meanwhile. The highlighted items carry
// MF_HILITE, which GetMenuState reports. A chosen command is posted as WM_COMMAND.
#include "platform/layer.h"

#include <cctype>

using namespace layer;

namespace {

// The open levels: [0] the bar, then each open menu below it, with the item highlighted in each.
struct Tracking {
    HWND owner;
    std::vector<HMENU> menus;
    std::vector<int> hilite;
    bool done = false;
    UINT command = 0; // chosen, 0 for none
};

std::vector<MenuItem>& itemsOf(HMENU menu) {
    return menuOf(menu)->items;
}

char mnemonicOf(const MenuItem& item) {
    for (size_t i = 0; i + 1 < item.text.size(); ++i) {
        if (item.text[i] != '&')
            continue;
        if (item.text[i + 1] != '&')
            return static_cast<char>(std::tolower(static_cast<unsigned char>(item.text[i + 1])));
        ++i; // "&&" is an ampersand
    }
    return 0;
}

void setHilite(Tracking& t, size_t level, int index) {
    std::vector<MenuItem>& items = itemsOf(t.menus[level]);
    for (MenuItem& item : items)
        item.state &= ~static_cast<UINT>(MF_HILITE);
    t.hilite[level] = index;
    if (index >= 0 && index < static_cast<int>(items.size()))
        items[static_cast<size_t>(index)].state |= MF_HILITE;
    viewChanged(t.owner, ViewMenu);
}

// The next item that is no separator, forward or back, round the end.
int step(HMENU menu, int from, int direction) {
    const int count = static_cast<int>(itemsOf(menu).size());
    for (int i = 1; i <= count; ++i) {
        int at = ((from + direction * i) % count + count) % count;
        if (!itemsOf(menu)[static_cast<size_t>(at)].separator)
            return at;
    }
    return from;
}

void closeTo(Tracking& t, size_t levels) {
    while (t.menus.size() > levels) {
        setHilite(t, t.menus.size() - 1, -1);
        t.menus.pop_back();
        t.hilite.pop_back();
    }
}

// Opens the pop-up of the highlighted item of the deepest level, its first item highlighted.
bool openHighlighted(Tracking& t) {
    const size_t level = t.menus.size() - 1;
    const int at = t.hilite[level];
    if (at < 0)
        return false;
    HMENU popup = itemsOf(t.menus[level])[static_cast<size_t>(at)].popup;
    if (!menuOf(popup) || itemsOf(popup).empty())
        return false;
    sendMessage(t.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(at, 0));
    t.menus.push_back(popup);
    t.hilite.push_back(-1);
    setHilite(t, level + 1, step(popup, -1, 1));
    return true;
}

// The highlighted item of the deepest level chosen: its pop-up opens, its command ends the mode
// (a grayed one ends it with nothing sent).
void choose(Tracking& t) {
    const size_t level = t.menus.size() - 1;
    const int at = t.hilite[level];
    if (at < 0 || openHighlighted(t))
        return;
    const MenuItem& item = itemsOf(t.menus[level])[static_cast<size_t>(at)];
    if (level > 0 && !(item.state & (MF_GRAYED | MF_DISABLED)))
        t.command = item.id;
    t.done = level > 0;
}

void alongTheBar(Tracking& t, int direction) {
    const bool wasOpen = t.menus.size() > 1;
    closeTo(t, 1);
    setHilite(t, 0, step(t.menus[0], t.hilite[0], direction));
    if (wasOpen)
        openHighlighted(t);
}

void onKey(Tracking& t, WPARAM key) {
    const size_t level = t.menus.size() - 1;
    switch (key) {
    case VK_LEFT:
        if (level >= 2)
            closeTo(t, level);
        else
            alongTheBar(t, -1);
        return;
    case VK_RIGHT:
        if (level == 0 || !openHighlighted(t))
            alongTheBar(t, 1);
        return;
    case VK_UP:
    case VK_DOWN:
        if (level == 0)
            openHighlighted(t);
        else
            setHilite(t, level, step(t.menus[level], t.hilite[level], key == VK_UP ? -1 : 1));
        return;
    case VK_RETURN: choose(t); return;
    case VK_ESCAPE:
        if (level == 0)
            t.done = true;
        else
            closeTo(t, level);
        return;
    case VK_MENU:
    case VK_F10: t.done = true; return;
    default: return;
    }
}

// A letter picks the item of the deepest level with that mnemonic; none, nothing happens.
void onCharacter(Tracking& t, char c) {
    const size_t level = t.menus.size() - 1;
    const char wanted = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::vector<MenuItem>& items = itemsOf(t.menus[level]);
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i].separator && mnemonicOf(items[i]) == wanted) {
            setHilite(t, level, static_cast<int>(i));
            choose(t);
            return;
        }
    }
}

void track(Tracking& t) {
    MSG msg;
    while (!t.done && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            onKey(t, msg.wParam);
            TranslateMessage(&msg); // the letters come back as characters
            break;
        case WM_CHAR:
        case WM_SYSCHAR: onCharacter(t, static_cast<char>(msg.wParam)); break;
        case WM_KEYUP:
        case WM_SYSKEYUP: break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: t.done = true; break;
        default: DispatchMessageA(&msg);
        }
    }
    if (!t.done) // GetMessage ended on WM_QUIT: put it back for the loop outside
        PostQuitMessage(static_cast<int>(msg.wParam));
}

} // namespace

namespace layer {

// SC_KEYMENU: `character` 0 for Alt alone, else the letter pressed with Alt. A window without a
// menu bar hands it to its parent; at the top, without a bar, nothing happens.
void trackMenuFromKeyboard(HWND window, char character) {
    while (Window* w = windowOf(window)) {
        if (!w->parent)
            break;
        window = w->parent;
    }
    Window* top = windowOf(window);
    if (!top || !menuOf(top->menu) || itemsOf(top->menu).empty())
        return;
    Tracking t{window, {top->menu}, {-1}};
    int first = step(top->menu, -1, 1);
    if (character) {
        first = -1;
        for (size_t i = 0; i < itemsOf(top->menu).size(); ++i)
            if (mnemonicOf(itemsOf(top->menu)[i]) ==
                std::tolower(static_cast<unsigned char>(character)))
                first = static_cast<int>(i);
        if (first < 0)
            return; // no such item: a beep on the real platform
    }
    sendMessage(window, WM_ENTERMENULOOP, FALSE, 0);
    sendMessage(window, WM_INITMENU, reinterpret_cast<WPARAM>(top->menu), 0);
    setHilite(t, 0, first);
    if (character)
        openHighlighted(t);
    track(t);
    closeTo(t, 1);
    setHilite(t, 0, -1);
    sendMessage(window, WM_EXITMENULOOP, FALSE, 0);
    if (t.command)
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(t.command, 0), 0);
}

} // namespace layer
