#include "tests/systems/scenario/random_session.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <iterator>
#include <numeric>

#include "tests/support/picture_files.h"
#include "tests/support/user_input.h"

namespace scenario {

using namespace userInput;

namespace {

// Control ids of the system's own boxes (dlgs.h and the message box's template).
constexpr int fileNameCombo = 0x047c; // cmb13
constexpr int fileNameEdit = 0x0480;  // edt1
constexpr int messageBoxText = 0xFFFF;

struct Key {
    UINT virtualKey;
    UINT modifier; // 0, VK_SHIFT or VK_MENU
    const char* name;
};

// The accelerators, digits of both rows, navigation and editing keys, letters.
const Key keys[] = {
    {VK_INSERT, 0, "Ins"},        {VK_DELETE, 0, "Del"},      {VK_PRIOR, 0, "Page Up"},
    {VK_NEXT, 0, "Page Down"},    {VK_F2, 0, "F2"},           {'2', 0, "2"},
    {'3', 0, "3"},                {'0', 0, "0"},              {'5', 0, "5"},
    {'9', 0, "9"},                {VK_NUMPAD2, 0, "numpad 2"}, {VK_NUMPAD3, 0, "numpad 3"},
    {VK_NUMPAD7, 0, "numpad 7"},  {VK_TAB, 0, "Tab"},         {VK_TAB, VK_SHIFT, "Shift+Tab"},
    {VK_LEFT, 0, "Left"},         {VK_RIGHT, 0, "Right"},     {VK_UP, 0, "Up"},
    {VK_DOWN, 0, "Down"},         {VK_HOME, 0, "Home"},       {VK_END, 0, "End"},
    {VK_SPACE, 0, "Space"},       {VK_RETURN, 0, "Enter"},    {VK_ESCAPE, 0, "Esc"},
    {'A', 0, "A"},                {'E', 0, "E"},              {'R', 0, "R"},
    {'X', 0, "X"},
};

// What the file-open dialog is given: a good picture of each format, one whose sides are no
// powers of two, a truncated one and a name that is not there.
const char* const fileNames[] = {"good.bmp", "good.pcx", "good.tga", "good.qfr",
                                 "wide.bmp", "short.tga", "none.bmp"};
const char* const typedWords[] = {"sq", "tri 2", "a", "x9 b"};

// Alt alone and with the bar's mnemonics, and with letters that are none.
const Key altKeys[] = {{VK_MENU, 0, "Alt"},           {'F', VK_MENU, "Alt+F"},
                       {'O', VK_MENU, "Alt+O"},         {'H', VK_MENU, "Alt+H"},
                       {'P', VK_MENU, "Alt+P"}};
// In the menu: moves, Enter, Esc, Alt, and letters, mnemonics and not (never Exit's).
const Key menuKeys[] = {{VK_LEFT, 0, "Left"},  {VK_RIGHT, 0, "Right"}, {VK_UP, 0, "Up"},
                        {VK_DOWN, 0, "Down"},  {VK_RETURN, 0, "Enter"}, {VK_ESCAPE, 0, "Esc"},
                        {VK_MENU, 0, "Alt"},   {'O', 0, "O"},          {'D', 0, "D"},
                        {'3', 0, "3"},         {'B', 0, "B"},          {'S', 0, "S"},
                        {'L', 0, "L"},         {'H', 0, "H"}};

// One of a table's or a list's entries, each as likely.
template <typename List> const auto& oneOf(SeededRandom& random, const List& choices) {
    return *(std::begin(choices) + random.below(int(std::size(choices))));
}

BOOL CALLBACK collectChild(HWND window, LPARAM lParam) {
    auto* found = reinterpret_cast<std::pair<HWND, std::vector<HWND>*>*>(lParam);
    if (GetParent(window) == found->first)
        found->second->push_back(window);
    return TRUE;
}

RECT clientRect(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

// Picks an index by weight; the weights of what cannot be done now are 0.
int pickWeighted(SeededRandom& random, std::initializer_list<int> weights) {
    int roll = random.below(std::accumulate(weights.begin(), weights.end(), 0)), index = 0;
    for (auto weight = weights.begin(); roll >= *weight; ++weight, ++index)
        roll -= *weight;
    return index;
}

std::string name(HWND control) {
    return classOf(control) + " id=" + std::to_string(GetDlgCtrlID(control)) + " \"" +
           textOf(control) + "\"";
}

std::string press(const Key& key) {
    if (key.modifier)
        pressWith(key.modifier, key.virtualKey);
    else
        pressKey(key.virtualKey);
    return std::string("key ") + key.name;
}

// Never Enter on Exit, which would end the run; never Left or Right past either end of the
// bar, where the real platform goes on into the window's system menu (Close among its items).
bool wouldLeaveTheRun(const Key& key) {
    HMENU bar = GetMenu(mainWindow());
    auto lit = [bar](int at) {
        return (GetMenuState(bar, UINT(at), MF_BYPOSITION) & MF_HILITE) != 0;
    };
    const std::string path = openMenuPath(), exit = "E&xit";
    switch (key.virtualKey) {
    case VK_RETURN:
        return path.size() >= exit.size() && path.substr(path.size() - exit.size()) == exit;
    case VK_LEFT: return lit(0);
    case VK_RIGHT: return lit(GetMenuItemCount(bar) - 1);
    default: return false;
    }
}

std::string inMenu(SeededRandom& random) {
    const Key* key = &oneOf(random, menuKeys);
    while (wouldLeaveTheRun(*key))
        key = &oneOf(random, menuKeys);
    return press(*key);
}

// The controls a click can land on: every visible one but statics (the view frame excepted)
// and group boxes, disabled ones too.
std::vector<HWND> clickable(HWND top) {
    std::vector<HWND> out;
    for (HWND child : directChildren(top)) {
        const std::string kind = classOf(child);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        if (!IsWindowVisible(child) || (kind == "static" && !(style & SS_NOTIFY)) ||
            (kind == "button" && (style & BS_TYPEMASK) == BS_GROUPBOX))
            continue;
        if (kind == "static" || kind == "button" || kind == "listbox" || kind == "combobox" ||
            kind == "msctls_trackbar32" || kind == "edit")
            out.push_back(child);
    }
    return out;
}

HWND droppedCombo(HWND top) {
    for (HWND child : directChildren(top))
        if (classOf(child) == "combobox" && SendMessageA(child, CB_GETDROPPEDSTATE, 0, 0))
            return child;
    return nullptr;
}

// A row of an open drop-down list: the list lies below the field, rows of the item height.
std::string pickFromOpenList(SeededRandom& random, HWND combo) {
    RECT field{};
    GetWindowRect(combo, &field);
    int rowHeight = int(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    int rows = std::min<int>(int(SendMessageA(combo, CB_GETCOUNT, 0, 0)), 5);
    int row = random.below(std::max(rows, 1));
    POINT at{(field.left + field.right) / 2, field.bottom + 1 + row * rowHeight + rowHeight / 2};
    clickAt(at);
    return "click row " + std::to_string(row) + " of the open list of " + name(combo);
}

// A click on the thumb, left or right of it in the channel, or a drag of the thumb.
std::string clickTrackbar(SeededRandom& random, HWND trackbar) {
    RECT thumb{}, client = clientRect(trackbar);
    SendMessageA(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int y = (thumb.top + thumb.bottom) / 2, where = random.below(4);
    const int x[] = {(thumb.left + thumb.right) / 2, thumb.left / 2,
                     (thumb.right + client.right) / 2};
    if (where == 3) {
        int to = random.below(int(client.right) + 40) - 20;
        dragAlong(screenPoint(trackbar, x[0], y), screenPoint(trackbar, to, y), 3);
        return "drag the thumb of " + name(trackbar) + " to " + std::to_string(to);
    }
    const char* said[] = {"the thumb of ", "left of the thumb of ", "right of the thumb of "};
    clickAt(screenPoint(trackbar, x[where], y));
    return std::string("click ") + said[where] + name(trackbar);
}

std::string clickListBox(SeededRandom& random, HWND list) {
    RECT client = clientRect(list);
    int rowHeight = std::max(1, int(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0)));
    int row = random.below(std::max(1, int(client.bottom) / rowHeight));
    clickAt(screenPoint(list, client.right / 3, row * rowHeight + rowHeight / 2));
    return "click row " + std::to_string(row) + " shown in " + name(list);
}

std::string clickComboBox(SeededRandom& random, HWND combo) {
    RECT client = clientRect(combo);
    // The field is clicked at its right end, so a caret goes after its text whatever the font.
    bool onArrow = random.percent(50);
    clickAt(screenPoint(combo, client.right - (onArrow ? 8 : 22), client.bottom / 2));
    return std::string("click the ") + (onArrow ? "arrow" : "field") + " of " + name(combo);
}

std::string dragInFrame(SeededRandom& random, HWND frame) {
    POINT from{20 + random.below(470), 20 + random.below(470)};
    POINT to{20 + random.below(470), 20 + random.below(470)};
    int moves = 2 + random.below(4);
    dragAlong(screenPoint(frame, from.x, from.y), screenPoint(frame, to.x, to.y), moves);
    return "drag in the view frame from " + std::to_string(from.x) + "," +
           std::to_string(from.y) + " to " + std::to_string(to.x) + "," + std::to_string(to.y);
}

std::string clickControl(SeededRandom& random, HWND control) {
    std::string kind = classOf(control);
    if (kind == "msctls_trackbar32")
        return clickTrackbar(random, control);
    if (kind == "listbox")
        return clickListBox(random, control);
    if (kind == "combobox")
        return clickComboBox(random, control);
    if (kind == "static")
        return dragInFrame(random, control);
    RECT client = clientRect(control);
    // An edit is clicked at its right end, so the caret goes after its text whatever the font.
    int x = kind == "edit" ? client.right - 3 : client.right / 2;
    clickAt(screenPoint(control, x, client.bottom / 2));
    return "click " + name(control);
}

// An edit, or a combo box with a field to type in.
bool focusTakesText() {
    HWND focus = focusedControl();
    if (!focus)
        return false;
    std::string kind = classOf(focus);
    return kind == "edit" ||
           (kind == "combobox" && (GetWindowLongA(focus, GWL_STYLE) & 3) != CBS_DROPDOWNLIST);
}

std::string inProgramWindow(SeededRandom& random, HWND top) {
    if (HWND combo = droppedCombo(top)) {
        if (random.percent(60))
            return pickFromOpenList(random, combo);
        return press(oneOf(random, keys));
    }
    std::vector<HWND> controls = clickable(top);
    switch (pickWeighted(random, {controls.empty() ? 0 : 45, 45, focusTakesText() ? 10 : 0,
                                  top == mainWindow() ? 6 : 0})) {
    case 0: return clickControl(random, oneOf(random, controls));
    case 1: return press(oneOf(random, keys));
    case 3: return press(oneOf(random, altKeys));
    default: {
        const char* word = oneOf(random, typedWords);
        typeText(word);
        return std::string("type \"") + word + "\"";
    }
    }
}

// A click on one of its buttons, or a key.
std::string inMessageBox(SeededRandom& random, HWND box) {
    if (std::vector<HWND> buttons = clickable(box); !buttons.empty() && random.percent(50))
        return clickControl(random, oneOf(random, buttons));
    static const Key boxKeys[] = {{VK_RETURN, 0, "Enter"}, {VK_ESCAPE, 0, "Esc"},
                                  {VK_TAB, 0, "Tab"},      {VK_SPACE, 0, "Space"},
                                  {VK_LEFT, 0, "Left"},    {VK_RIGHT, 0, "Right"}};
    return press(oneOf(random, boxKeys));
}

// The name field is emptied from its end and the name typed, then Enter; or Esc.
std::string inFileDialog(SeededRandom& random) {
    if (random.percent(15)) {
        pressKey(VK_ESCAPE);
        return "key Esc";
    }
    const char* file = oneOf(random, fileNames);
    pressKey(VK_END);
    for (int i = 0; i < 12; ++i)
        pressKey(VK_BACK);
    typeText(file);
    pressKey(VK_RETURN);
    return std::string("type \"") + file + "\", Enter";
}

// A red and blue checkerboard of 8-pixel squares with a green diagonal.
Picture checkerboard(int width, int height) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t red = ((x / 8) + (y / 8)) % 2 == 0 ? 255 : 0;
            picture.pixels.push_back({red, uint8_t(x == y ? 255 : 0), uint8_t(255 - red), 255});
        }
    return picture;
}

} // namespace

HWND mainWindow() {
    return FindWindowA("TestBedWindow", nullptr);
}

std::vector<HWND> directChildren(HWND parent) {
    std::vector<HWND> children;
    std::pair<HWND, std::vector<HWND>*> search{parent, &children};
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&search));
    return children;
}

std::string classOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

std::string textOf(HWND window) {
    std::vector<char> text(size_t(GetWindowTextLengthA(window)) + 2);
    GetWindowTextA(window, text.data(), int(text.size()));
    return text.data();
}

std::string openMenuPath() {
    std::string path;
    HMENU menu = GetMenu(mainWindow());
    while (menu) {
        const int count = GetMenuItemCount(menu);
        int at = 0;
        while (at < count && !(GetMenuState(menu, UINT(at), MF_BYPOSITION) & MF_HILITE))
            ++at;
        if (at >= count)
            break;
        char text[64] = "";
        GetMenuStringA(menu, UINT(at), text, sizeof text, MF_BYPOSITION);
        path += (path.empty() ? "" : " > ") + std::string(text);
        menu = GetSubMenu(menu, at);
    }
    return path;
}

HWND focusedControl() {
    HWND focus = GetFocus();
    HWND parent = focus ? GetParent(focus) : nullptr;
    if (parent && (GetWindowLongA(focus, GWL_STYLE) & WS_CHILD) && classOf(parent) == "combobox")
        return parent;
    return focus;
}

// The window holding the focus: the dialog manager gives it to a new dialog as it opens, where
// the activation of a new window on an X server can come a moment later. Else the active one.
HWND actingWindow() {
    HWND focus = GetFocus();
    if (HWND root = focus ? GetAncestor(focus, GA_ROOT) : nullptr; root && IsWindowVisible(root))
        return root;
    HWND active = GetActiveWindow();
    return active && IsWindowVisible(active) ? active : mainWindow();
}

bool isFileDialog(HWND window) {
    return GetDlgItem(window, fileNameCombo) || GetDlgItem(window, fileNameEdit);
}

bool isFileNameField(HWND control) {
    const int id = GetDlgCtrlID(control);
    return isFileDialog(GetAncestor(control, GA_ROOT)) && (id == fileNameCombo || id == fileNameEdit);
}

HWND messageTextOf(HWND box) {
    return GetDlgItem(box, messageBoxText);
}

bool isMessageBox(HWND window) {
    return messageTextOf(window) != nullptr;
}

bool writeSessionFiles() {
    try {
        Picture square = checkerboard(64, 64);
        writeFile("good.bmp", bmpFile(square, 24));
        writeFile("good.pcx", pcxFile(square));
        writeFile("good.tga", tgaFile(checkerboard(32, 32), 32));
        writeFile("good.qfr", qfrFile(checkerboard(16, 16), 24));
        writeFile("wide.bmp", bmpFile(checkerboard(48, 32), 24));
        std::vector<uint8_t> truncated = tgaFile(square, 24);
        truncated.resize(truncated.size() / 2);
        writeFile("short.tga", truncated);
        std::remove("none.bmp");
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string takeRandomStep(SeededRandom& random) {
    HWND top = actingWindow();
    if (!top)
        return "nothing on the screen";
    std::string where = top == mainWindow() ? "in the main window: " : "in " + textOf(top) + ": ";
    if (isFileDialog(top))
        return where + inFileDialog(random);
    if (isMessageBox(top))
        return where + inMessageBox(random, top);
    if (top == mainWindow() && !openMenuPath().empty())
        return "in the menu: " + inMenu(random);
    return where + inProgramWindow(random, top);
}

} // namespace scenario
