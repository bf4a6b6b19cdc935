#include "platform/fltk/fltk_menu.h"

#include "platform/backend.h"
#include "platform/fltk/fltk_backend.h"
#include "platform/fltk/fltk_draw.h"
#include "platform/layer.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/fl_draw.H>

#include <deque>
#include <string>
#include <vector>

namespace {

// A drop-down item's label starts with one of these, so the label type can draw the mark in
// a column of its own: the platform keeps that column for every item, marked or not.
constexpr char noMark = '\x01';
constexpr char checkMark = '\x02';
constexpr char radioMark = '\x03';
constexpr int markColumn = 16;
constexpr int hintGap = 24;

const Fl_Labeltype menuItemLabel = FL_FREE_LABELTYPE;

struct SplitLabel {
    char mark;
    std::string text;
    std::string hint;
};

SplitLabel split(const char* value) {
    SplitLabel label{noMark, value ? value : "", ""};
    if (!label.text.empty() && label.text[0] >= noMark && label.text[0] <= radioMark) {
        label.mark = label.text[0];
        label.text.erase(0, 1);
    }
    const auto tab = label.text.find('\t');
    if (tab != std::string::npos) {
        label.hint = label.text.substr(tab + 1);
        label.text.erase(tab);
    }
    return label;
}

void drawMenuItemLabel(const Fl_Label* label, int x, int y, int w, int h, Fl_Align) {
    const SplitLabel parts = split(label->value);
    fl_font(label->font, label->size);
    fl_color(label->color);
    const int cx = x + markColumn / 2 - 2, cy = y + h / 2;
    if (parts.mark == checkMark) {
        for (int i = 0; i < 2; ++i) {
            fl_line(cx - 3, cy - 1 + i, cx - 1, cy + 1 + i);
            fl_line(cx - 1, cy + 1 + i, cx + 3, cy - 3 + i);
        }
    } else if (parts.mark == radioMark) {
        fl_pie(cx - 3, cy - 3, 7, 7, 0, 360);
    }
    fl_draw(parts.text.c_str(), x + markColumn, y, w - markColumn, h, FL_ALIGN_LEFT, nullptr, 0);
    if (!parts.hint.empty()) {
        const char saved = fl_draw_shortcut;
        fl_draw_shortcut = 0;
        fl_draw(parts.hint.c_str(), x, y, w - 4, h, FL_ALIGN_RIGHT, nullptr, 0);
        fl_draw_shortcut = saved;
    }
}

void measureMenuItemLabel(const Fl_Label* label, int& w, int& h) {
    const SplitLabel parts = split(label->value);
    fl_font(label->font, label->size);
    int textW = 0, textH = 0;
    fl_measure(parts.text.c_str(), textW, textH, 0);
    w = markColumn + textW + 4;
    if (!parts.hint.empty())
        w += hintGap + int(fl_width(parts.hint.c_str()));
    h = std::max(textH, fl_height());
}

// The bar lies flat on the window; its drop-downs take the bar's box, raised like the
// platform's menus.
class FlatMenuBar : public Fl_Menu_Bar {
  public:
    using Fl_Menu_Bar::Fl_Menu_Bar;
    void draw() override {
        const Fl_Boxtype raised = box();
        box(FL_FLAT_BOX);
        Fl_Menu_Bar::draw();
        box(raised);
    }
};

void pick(Fl_Widget* bar, void* id) {
    inputMenuPick(static_cast<HWND>(bar->user_data()), UINT(reinterpret_cast<uintptr_t>(id)));
}

void appendItems(HMENU handle, bool onBar, MenuBarStrings& strings) {
    const layer::Menu* menu = layer::menuOf(handle);
    if (!menu)
        return;
    int lastAtThisLevel = -1;
    for (const layer::MenuItem& source : menu->items) {
        if (source.separator) {
            if (lastAtThisLevel >= 0)
                strings.items[lastAtThisLevel].flags |= FL_MENU_DIVIDER;
            continue;
        }
        Fl_Menu_Item item{};
        if (onBar) {
            strings.texts.push_back(source.text);
        } else {
            const bool checked = source.state & MF_CHECKED;
            const char mark = !checked ? noMark : source.radio ? radioMark : checkMark;
            strings.texts.push_back(std::string(1, mark) + source.text);
            item.labeltype_ = menuItemLabel;
        }
        item.text = strings.texts.back().c_str();
        item.labelfont_ = fltk_look::font;
        item.labelsize_ = fltk_look::fontSize;
        if (source.state & (MF_GRAYED | MF_DISABLED))
            item.flags |= FL_MENU_INACTIVE;
        lastAtThisLevel = int(strings.items.size());
        if (source.popup) {
            item.flags |= FL_SUBMENU;
            strings.items.push_back(item);
            appendItems(source.popup, false, strings);
            strings.items.push_back(Fl_Menu_Item{});
        } else {
            item.callback_ = pick;
            item.user_data_ = reinterpret_cast<void*>(uintptr_t(source.id));
            strings.items.push_back(item);
        }
    }
}

MenuBarStrings* buildItems(HMENU menu) {
    auto* strings = new MenuBarStrings;
    appendItems(menu, true, *strings);
    strings->items.push_back(Fl_Menu_Item{});
    return strings;
}

} // namespace

void installMenuLabelType() {
    Fl::set_labeltype(menuItemLabel, drawMenuItemLabel, measureMenuItemLabel);
}

Fl_Menu_Bar* makeMenuBar(HWND window, HMENU menu, int width, MenuBarStrings*& strings) {
    auto* bar = new FlatMenuBar(0, 0, width, menuBarHeight);
    bar->user_data(window);
    bar->box(FL_UP_BOX);
    bar->down_box(FL_FLAT_BOX);
    bar->color(fltk_look::face());
    bar->selection_color(fltk_look::selectionBackground);
    bar->textfont(fltk_look::font);
    bar->textsize(fltk_look::fontSize);
    updateMenuBar(bar, menu, strings);
    return bar;
}

void updateMenuBar(Fl_Menu_Bar* bar, HMENU menu, MenuBarStrings*& strings) {
    // No menu is open while the layer changes one (it does so only from dispatched messages,
    // never inside FLTK's menu loop), so the old items can go at once.
    MenuBarStrings* fresh = buildItems(menu);
    bar->menu(fresh->items.data());
    delete strings;
    strings = fresh;
    bar->redraw();
}
