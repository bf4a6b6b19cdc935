#include "platform/fltk/fltk_text_controls.h"

#include "platform/backend.h"
#include "platform/controls/control_state.h"
#include "platform/fltk/fltk_control_widget.h"
#include "platform/fltk/fltk_draw.h"

#include <FL/Fl.H>
#include <FL/Fl_Menu_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <string>
#include <vector>

using namespace fltk_look;

namespace {

constexpr int scrollBarWidth = 16;
constexpr int textMargin = 2;

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] == '\n' || text[i] == '\r')
            lines.emplace_back();
        else
            lines.back() += text[i];
    }
    return lines;
}

// One line of edit text with its selection and caret. `start` is the index of the line's first
// character in the whole text; the field scrolls so that the caret stays visible.
void drawEditLine(const std::string& line, int start, int selStart, int selEnd, bool showSelection,
                  bool caret, Fl_Align align, Fl_Color colour, int x, int y, int w) {
    useFont();
    const int width = int(fl_width(line.c_str(), int(line.size())));
    int textX = x;
    if (width < w) {
        if (align & FL_ALIGN_RIGHT)
            textX = x + w - width;
        else if (!(align & FL_ALIGN_LEFT))
            textX = x + (w - width) / 2;
    }
    const int caretIndex = std::clamp(selEnd - start, 0, int(line.size()));
    const int caretX = int(fl_width(line.c_str(), caretIndex));
    if (width >= w && caret && caretX > w - 1)
        textX = x + w - 1 - caretX;

    const int a = std::clamp(std::min(selStart, selEnd) - start, 0, int(line.size()));
    const int b = std::clamp(std::max(selStart, selEnd) - start, 0, int(line.size()));
    const int baseline = y + fl_height() - fl_descent();
    fl_color(colour);
    fl_draw(line.c_str(), int(line.size()), textX, baseline);
    if (showSelection && a < b) {
        const int left = textX + int(fl_width(line.c_str(), a));
        const int right = textX + int(fl_width(line.c_str(), b));
        fl_rectf(left, y, right - left, lineHeight, selectionBackground);
        fl_color(selectionText);
        fl_draw(line.c_str() + a, b - a, left, baseline);
    }
    if (caret) {
        fl_color(text);
        fl_yxline(textX + caretX, y, y + lineHeight - 1);
    }
}

// A vertical scroll bar: arrows at both ends, the thumb sized to the visible share.
struct ScrollBar {
    int x, y, h;       // the bar's column
    int arrow;         // height of each arrow button
    int thumbY, thumb; // the thumb; thumb is 0 when there is nothing to scroll
    int first, visible, total;
    int range() const { return std::max(0, total - visible); }
};

ScrollBar scrollBarOf(int x, int y, int h, int first, int visible, int total) {
    ScrollBar bar{x, y, h, std::min(scrollBarWidth, h / 2), 0, 0, first, visible, total};
    const int track = h - 2 * bar.arrow;
    if (total <= visible || track < 8)
        return bar;
    bar.thumb = std::max(8, track * visible / total);
    bar.thumbY =
        y + bar.arrow + (track - bar.thumb) * std::clamp(first, 0, bar.range()) / bar.range();
    return bar;
}

void drawScrollBar(const ScrollBar& bar) {
    fl_rectf(bar.x, bar.y, scrollBarWidth, bar.h, rgb(236, 233, 230));
    for (int end = 0; end < 2; ++end) {
        const int ay = end == 0 ? bar.y : bar.y + bar.h - bar.arrow;
        fl_rectf(bar.x, ay, scrollBarWidth, bar.arrow, face());
        raisedEdge(bar.x, ay, scrollBarWidth, bar.arrow);
        fl_color(bar.total > bar.visible ? text : shadow);
        const int cx = bar.x + scrollBarWidth / 2, cy = ay + bar.arrow / 2;
        if (end == 0)
            fl_polygon(cx, cy - 2, cx - 4, cy + 2, cx + 4, cy + 2);
        else
            fl_polygon(cx, cy + 2, cx - 4, cy - 2, cx + 4, cy - 2);
    }
    if (!bar.thumb)
        return;
    fl_rectf(bar.x, bar.thumbY, scrollBarWidth, bar.thumb, face());
    raisedEdge(bar.x, bar.thumbY, scrollBarWidth, bar.thumb);
}

// Rows of items from `first`, the selected one highlighted; a dotted focus rectangle on it.
void drawRows(const layer::ItemList& items, int first, int itemHeight, bool focus, bool enabled,
              int x, int y, int w, int h) {
    fl_push_clip(x, y, w, h);
    for (int i = std::max(first, 0), row = 0; i < itemCount(items) && row * itemHeight < h;
         ++i, ++row) {
        const int ry = y + row * itemHeight;
        const bool isSelected = i == items.selected;
        if (isSelected)
            fl_rectf(x, ry, w, itemHeight, selectionBackground);
        const Fl_Color colour = !enabled ? grayText : isSelected ? selectionText : text;
        drawText(items.entries[i].text, x + textMargin, ry, w - 2 * textMargin, itemHeight,
                 FL_ALIGN_LEFT, colour);
        if (isSelected && focus)
            focusRect(x, ry, w, itemHeight);
    }
    fl_pop_clip();
}

// ---------------------------------------------------------------------------------------------

class EditWidget : public ControlWidget {
  public:
    using ControlWidget::ControlWidget;
    void draw() override {
        const DWORD s = style();
        const bool readOnly = (s & ES_READONLY) || !enabled();
        drawBorderAndBackground(readOnly ? face() : windowBackground);
        const layer::EditState* edit = layer::editState(hwnd());
        const std::string content = windowText(hwnd());
        const bool focus = focused();
        const int selStart = edit ? edit->selStart : 0, selEnd = edit ? edit->selEnd : 0;
        const Fl_Align align = (s & ES_CENTER)  ? FL_ALIGN_CENTER
                               : (s & ES_RIGHT) ? FL_ALIGN_RIGHT
                                                : FL_ALIGN_LEFT;
        const Fl_Color colour = enabled() ? text : grayText;
        const int x0 = clientX() + textMargin, w0 = clientW() - 2 * textMargin;
        fl_push_clip(clientX(), clientY(), clientW(), clientH());
        if (s & ES_MULTILINE) {
            int start = 0, row = 0;
            for (const std::string& line : splitLines(content)) {
                const bool caretHere =
                    focus && selEnd >= start && selEnd <= start + int(line.size());
                drawEditLine(line, start, selStart, selEnd, focus, caretHere, align, colour, x0,
                             clientY() + 1 + row * lineHeight, w0);
                start += int(line.size()) + 1;
                ++row;
            }
        } else {
            const std::string shown =
                (s & ES_PASSWORD) ? std::string(content.size(), '*') : content;
            const int y0 = clientY() + std::max(0, (clientH() - lineHeight) / 2);
            drawEditLine(shown, 0, selStart, selEnd, focus, focus, align, colour, x0, y0, w0);
        }
        fl_pop_clip();
    }
};

// The layer's list box has no scroll bar of its own: the bar drawn here scrolls it with
// LB_SETTOPINDEX (arrows by a row, the channel by a page, the thumb as dragged), as does the
// wheel; every other click goes to the layer as the mouse message it is.
class ListBoxWidget : public ControlWidget {
  public:
    using ControlWidget::ControlWidget;
    void draw() override {
        drawBorderAndBackground(enabled() ? windowBackground : face());
        const layer::ListBoxState* list = layer::listBoxState(hwnd());
        if (!list)
            return;
        const int rowsWidth = clientW() - (hasScrollBar(*list) ? scrollBarWidth : 0);
        drawRows(list->items, list->topIndex, itemHeight(*list), focused(), enabled(), clientX(),
                 clientY(), rowsWidth, clientH());
        if (focused() && list->items.selected < 0)
            focusRect(clientX(), clientY(), rowsWidth, itemHeight(*list));
        if (hasScrollBar(*list))
            drawScrollBar(scrollBar(*list));
    }

  protected:
    int handle(int event) override {
        const layer::ListBoxState* list = layer::listBoxState(hwnd());
        if (list && event == FL_MOUSEWHEEL) {
            scrollTo(*list, list->topIndex + 3 * Fl::event_dy());
            return 1;
        }
        if (list && event == FL_PUSH && Fl::event_button() == FL_LEFT_MOUSE &&
            hasScrollBar(*list) && Fl::event_x() >= clientX() + clientW() - scrollBarWidth) {
            pressScrollBar(*list);
            return 1;
        }
        if (draggingThumb_ || pressingBar_) {
            if (event == FL_DRAG && draggingThumb_ && list)
                dragThumb(*list);
            if (event == FL_RELEASE)
                draggingThumb_ = pressingBar_ = false;
            return 1;
        }
        return ControlWidget::handle(event);
    }

  private:
    static int itemHeight(const layer::ListBoxState& list) { return std::max(1, list.itemHeight); }
    int visibleRows(const layer::ListBoxState& list) const { return clientH() / itemHeight(list); }
    bool hasScrollBar(const layer::ListBoxState& list) const {
        return (style() & WS_VSCROLL) &&
               (itemCount(list.items) > visibleRows(list) || (style() & LBS_DISABLENOSCROLL));
    }
    ScrollBar scrollBar(const layer::ListBoxState& list) const {
        return scrollBarOf(clientX() + clientW() - scrollBarWidth, clientY(), clientH(),
                           list.topIndex, visibleRows(list), itemCount(list.items));
    }
    void scrollTo(const layer::ListBoxState& list, int first) {
        const int last = std::max(0, itemCount(list.items) - visibleRows(list));
        const int top = std::clamp(first, 0, last);
        if (top != list.topIndex)
            PostMessageA(hwnd(), LB_SETTOPINDEX, WPARAM(top), 0);
    }
    void pressScrollBar(const layer::ListBoxState& list) {
        const ScrollBar bar = scrollBar(list);
        const int y = Fl::event_y();
        pressingBar_ = true;
        if (y < bar.y + bar.arrow)
            scrollTo(list, bar.first - 1);
        else if (y >= bar.y + bar.h - bar.arrow)
            scrollTo(list, bar.first + 1);
        else if (bar.thumb && y < bar.thumbY)
            scrollTo(list, bar.first - bar.visible);
        else if (bar.thumb && y >= bar.thumbY + bar.thumb)
            scrollTo(list, bar.first + bar.visible);
        else if (bar.thumb) {
            draggingThumb_ = true;
            grabY_ = y;
            grabFirst_ = bar.first;
        }
    }
    void dragThumb(const layer::ListBoxState& list) {
        const ScrollBar bar = scrollBar(list);
        const int travel = bar.h - 2 * bar.arrow - bar.thumb;
        if (travel <= 0)
            return;
        const int moved = Fl::event_y() - grabY_;
        scrollTo(list,
                 grabFirst_ + (moved * bar.range() + (moved >= 0 ? travel : -travel) / 2) / travel);
    }

    bool pressingBar_ = false, draggingThumb_ = false;
    int grabY_ = 0, grabFirst_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Combo boxes. The field is the widget; the open list is a popup window below it, since it
// reaches past the controls under the field and even past the main window's edge. Mouse input
// on the open list goes to the combo box in its own client coordinates, as the layer expects.

class ComboBoxWidget;

class DropListWindow : public Fl_Menu_Window {
  public:
    DropListWindow(ComboBoxWidget* combo) : Fl_Menu_Window(0, 0, 10, 10), combo_(combo) {
        clear_border();
        set_override();
        end();
    }
    void draw() override;
    int handle(int event) override;

  private:
    ComboBoxWidget* combo_;
};

class ComboBoxWidget : public ControlWidget {
  public:
    ComboBoxWidget(HWND window, int x, int y, int w, int h) : ControlWidget(window, x, y, w, h) {}
    ~ComboBoxWidget() override { delete list_; }

    void draw() override {
        const layer::ComboBoxState* combo = layer::comboBoxState(hwnd());
        const DWORD type = style() & 3; // CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST
        sunkenEdge(x(), y(), w(), h());
        const int fx = x() + 2, fy = y() + 2, fw = w() - 4, fh = h() - 4;
        const int arrowW = std::min(layer::comboArrowWidth - 1, fw);
        const bool listType = type == CBS_DROPDOWNLIST;
        fl_rectf(fx, fy, fw - arrowW, fh, enabled() ? windowBackground : face());

        const std::string content = windowText(hwnd());
        const bool focus = focused() || (GetFocus() && GetParent(GetFocus()) == hwnd());
        const int textY = fy + std::max(0, (fh - lineHeight) / 2);
        fl_push_clip(fx, fy, fw - arrowW, fh);
        if (listType) {
            if (focus)
                fl_rectf(fx + 1, textY, fw - arrowW - 2, lineHeight, selectionBackground);
            drawText(content, fx + textMargin, textY, fw - arrowW - 2 * textMargin, lineHeight,
                     FL_ALIGN_LEFT,
                     !enabled() ? grayText
                     : focus    ? selectionText
                                : text);
            if (focus)
                focusRect(fx + 1, textY, fw - arrowW - 2, lineHeight);
        } else {
            const int selStart = combo ? combo->selStart : 0, selEnd = combo ? combo->selEnd : 0;
            drawEditLine(content, 0, selStart, selEnd, focus, focus, FL_ALIGN_LEFT,
                         enabled() ? text : grayText, fx + textMargin, textY,
                         fw - arrowW - 2 * textMargin);
        }
        fl_pop_clip();

        const bool dropped = combo && combo->dropped;
        const int ax = fx + fw - arrowW;
        fl_rectf(ax, fy, arrowW, fh, face());
        if (dropped)
            pushedEdge(ax, fy, arrowW, fh);
        else
            raisedEdge(ax, fy, arrowW, fh);
        const int cx = ax + arrowW / 2 + (dropped ? 1 : 0), cy = fy + fh / 2 + (dropped ? 1 : 0);
        fl_color(enabled() ? text : shadow);
        fl_polygon(cx - 4, cy - 2, cx + 4, cy - 2, cx, cy + 2);
    }

    void refresh() override {
        redraw();
        const layer::ComboBoxState* combo = layer::comboBoxState(hwnd());
        showList(combo && combo->dropped && visible_r());
    }

    // The open list, or nothing when closed; drawn from the layer's record.
    void drawList(int lx, int ly, int lw, int lh) {
        const layer::ComboBoxState* combo = layer::comboBoxState(hwnd());
        fl_rectf(lx, ly, lw, lh, windowBackground);
        fl_color(text);
        fl_rect(lx, ly, lw, lh);
        if (!combo)
            return;
        const int itemHeight = std::max(1, combo->itemHeight);
        const int visible = (lh - 2) / itemHeight;
        const int total = itemCount(combo->items);
        const int first =
            std::clamp(combo->items.selected - visible + 1, 0, std::max(0, total - visible));
        const bool scrolls = total > visible;
        const int rowsW = lw - 2 - (scrolls ? scrollBarWidth : 0);
        drawRows(combo->items, first, itemHeight, false, true, lx + 1, ly + 1, rowsW, lh - 2);
        if (scrolls)
            drawScrollBar(scrollBarOf(lx + 1 + rowsW, ly + 1, lh - 2, first, visible, total));
    }

    // Mouse on the open list: client coordinates of the combo box, below its field.
    void listMouse(UINT message, int screenX, int screenY) {
        RECT outer{};
        GetWindowRect(hwnd(), &outer);
        POINT origin{0, 0};
        ClientToScreen(hwnd(), &origin);
        inputMouse(hwnd(), message, screenX - screenFieldX_ - (origin.x - outer.left),
                   screenY - screenFieldY_ - (origin.y - outer.top));
    }

  private:
    void showList(bool dropped) {
        if (!dropped) {
            if (list_ && list_->shown())
                list_->hide();
            return;
        }
        const layer::ComboBoxState* combo = layer::comboBoxState(hwnd());
        if (!combo || !Fl_Widget::window() || !Fl_Widget::window()->shown())
            return;
        if (!list_)
            list_ = new DropListWindow(this);
        Fl_Window* top = Fl_Widget::window();
        screenFieldX_ = top->x_root() + x();
        screenFieldY_ = top->y_root() + y();
        const int itemHeight = std::max(1, combo->itemHeight);
        const int rows =
            std::max(1, std::min(itemCount(combo->items), (combo->dropHeight - h()) / itemHeight));
        list_->resize(screenFieldX_, screenFieldY_ + h(), w(), rows * itemHeight + 2);
        if (!list_->shown())
            list_->show();
        list_->redraw();
    }

    DropListWindow* list_ = nullptr;
    int screenFieldX_ = 0, screenFieldY_ = 0;
};

void DropListWindow::draw() {
    combo_->drawList(0, 0, w(), h());
}

int DropListWindow::handle(int event) {
    switch (event) {
    case FL_PUSH:
        if (Fl::event_button() == FL_LEFT_MOUSE)
            combo_->listMouse(WM_LBUTTONDOWN, Fl::event_x_root(), Fl::event_y_root());
        return 1;
    case FL_DRAG: combo_->listMouse(WM_MOUSEMOVE, Fl::event_x_root(), Fl::event_y_root()); return 1;
    case FL_RELEASE:
        if (Fl::event_button() == FL_LEFT_MOUSE)
            combo_->listMouse(WM_LBUTTONUP, Fl::event_x_root(), Fl::event_y_root());
        return 1;
    case FL_ENTER:
    case FL_LEAVE:
    case FL_MOVE: return 1;
    default: return Fl_Menu_Window::handle(event);
    }
}

} // namespace

Fl_Widget* makeEditWidget(HWND window, int x, int y, int w, int h) {
    return new EditWidget(window, x, y, w, h);
}
Fl_Widget* makeListBoxWidget(HWND window, int x, int y, int w, int h) {
    return new ListBoxWidget(window, x, y, w, h);
}
Fl_Widget* makeComboBoxWidget(HWND window, int x, int y, int w, int h) {
    return new ComboBoxWidget(window, x, y, w, h);
}
