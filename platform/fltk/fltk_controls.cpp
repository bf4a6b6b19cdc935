// The layer's header comes before FLTK's, which bring in X11's None and Window macros/types.
#include "platform/layer.h"

#include "platform/fltk/fltk_control_widget.h"
#include "platform/fltk/fltk_controls.h"
#include "platform/fltk/fltk_draw.h"
#include "platform/fltk/fltk_images.h"
#include "platform/fltk/fltk_text_controls.h"
#include "platform/fltk/fltk_trackbar.h"

#include <FL/fl_draw.H>

using namespace fltk_look;

namespace {

// ---------------------------------------------------------------------------------------------
// Buttons

class PushButtonWidget : public ControlWidget {
  public:
    using ControlWidget::ControlWidget;
    void draw() override {
        const bool pushed = SendMessageA(hwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED;
        const bool isDefault = (style() & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        int bx = x(), by = y(), bw = w(), bh = h();
        fl_rectf(bx, by, bw, bh, face());
        if (isDefault) {
            fl_color(text);
            fl_rect(bx, by, bw, bh);
            bx += 1, by += 1, bw -= 2, bh -= 2;
        }
        if (pushed)
            pushedEdge(bx, by, bw, bh);
        else
            raisedEdge(bx, by, bw, bh);
        const int shift = pushed ? 1 : 0;
        const std::string label = windowText(hwnd());
        if (enabled())
            drawText(label, bx + shift, by + shift, bw, bh, FL_ALIGN_CENTER, text);
        else
            drawDisabledText(label, bx, by, bw, bh, FL_ALIGN_CENTER);
        if (focused())
            focusRect(bx + 3, by + 3, bw - 6, bh - 6);
    }
};

// Check boxes and radio buttons: a 13-pixel box or circle and the text beside it, the box on
// the right with BS_LEFTTEXT.
class CheckWidget : public ControlWidget {
  public:
    CheckWidget(HWND window, bool radio, int x, int y, int w, int h)
        : ControlWidget(window, x, y, w, h), radio_(radio) {}
    void draw() override {
        fl_rectf(x(), y(), w(), h(), face());
        constexpr int box = 13;
        const bool leftText = style() & BS_LEFTTEXT;
        const int boxX = leftText ? x() + w() - box : x();
        const int boxY = y() + (h() - box) / 2;
        const LRESULT state = SendMessageA(hwnd(), BM_GETSTATE, 0, 0);
        const bool pushed = state & BST_PUSHED;
        const Fl_Color inside = (pushed || !enabled()) ? face() : windowBackground;
        if (radio_)
            drawRadio(boxX, boxY, box, inside, state & BST_CHECKED);
        else
            drawCheck(boxX, boxY, box, inside, SendMessageA(hwnd(), BM_GETCHECK, 0, 0));

        const std::string label = windowText(hwnd());
        const int textX = leftText ? x() : x() + box + 4;
        const int textW = w() - box - 4;
        if (enabled())
            drawText(label, textX, y(), textW, h(), FL_ALIGN_LEFT, text);
        else
            drawDisabledText(label, textX, y(), textW, h(), FL_ALIGN_LEFT);
        if (focused() && !label.empty()) {
            useFont();
            const int width = std::min(int(fl_width(label.c_str())) + 2, textW);
            focusRect(textX - 1, y() + (h() - lineHeight) / 2, width, lineHeight);
        }
    }

  private:
    void drawCheck(int bx, int by, int size, Fl_Color inside, LRESULT check) {
        sunkenEdge(bx, by, size, size);
        fl_rectf(bx + 2, by + 2, size - 4, size - 4, inside);
        if (check == BST_UNCHECKED)
            return;
        fl_color(check == BST_INDETERMINATE || !enabled() ? shadow : text);
        // The classic 7 x 7 tick, three pixels thick.
        for (int i = 0; i < 3; ++i) {
            fl_line(bx + 3, by + 5 + i, bx + 5, by + 7 + i);
            fl_line(bx + 5, by + 7 + i, bx + 9, by + 3 + i);
        }
    }
    void drawRadio(int bx, int by, int size, Fl_Color inside, bool checked) {
        fl_color(inside);
        fl_pie(bx, by, size, size, 0, 360);
        fl_color(shadow);
        fl_arc(bx, by, size, size, 45, 225);
        fl_color(highlight);
        fl_arc(bx, by, size, size, 225, 405);
        if (checked) {
            fl_color(enabled() ? text : shadow);
            fl_pie(bx + 4, by + 4, size - 8, size - 8, 0, 360);
        }
    }
    bool radio_;
};

class GroupBoxWidget : public ControlWidget {
  public:
    using ControlWidget::ControlWidget;
    void draw() override {
        const std::string label = windowText(hwnd());
        etchedFrame(x(), y() + lineHeight / 2, w(), h() - lineHeight / 2);
        if (label.empty())
            return;
        useFont();
        const int width = std::min(int(fl_width(label.c_str())) + 4, w() - 16);
        fl_rectf(x() + 7, y(), width, lineHeight, face());
        if (enabled())
            drawText(label, x() + 9, y(), width - 2, lineHeight, FL_ALIGN_LEFT, text);
        else
            drawDisabledText(label, x() + 9, y(), width - 2, lineHeight, FL_ALIGN_LEFT);
    }

  protected:
    bool takesMouse() const override { return false; }
};

// ---------------------------------------------------------------------------------------------
// Statics: text, filled rectangles (with the program's GDI fill kept on top), bitmaps.

class StaticWidget : public ControlWidget {
  public:
    using ControlWidget::ControlWidget;
    void draw() override {
        const DWORD type = style() & SS_TYPEMASK;
        Fl_Color background = face();
        if (type == SS_BLACKRECT)
            background = text;
        else if (type == SS_GRAYRECT)
            background = shadow;
        else if (type == SS_WHITERECT)
            background = highlight;
        drawBorderAndBackground(background);
        fl_push_clip(clientX(), clientY(), clientW(), clientH());
        if (type == SS_BITMAP)
            drawBitmap();
        else if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE ||
                 type == SS_LEFTNOWORDWRAP)
            drawLabel(type);
        if (hasFill)
            fl_rectf(clientX() + fillRect.left, clientY() + fillRect.top,
                     fillRect.right - fillRect.left, fillRect.bottom - fillRect.top,
                     colourOf(fillColour));
        fl_pop_clip();
    }

  protected:
    bool takesMouse() const override { return style() & SS_NOTIFY; }

  private:
    void drawLabel(DWORD type) {
        Fl_Align align = FL_ALIGN_TOP | (type == SS_CENTER  ? FL_ALIGN_CENTER
                                         : type == SS_RIGHT ? FL_ALIGN_RIGHT
                                                            : FL_ALIGN_LEFT);
        if (type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP)
            align |= FL_ALIGN_WRAP;
        const std::string label = windowText(hwnd());
        if (enabled())
            drawText(label, clientX(), clientY(), clientW(), clientH(), align, text);
        else
            drawDisabledText(label, clientX(), clientY(), clientW(), clientH(), align);
    }
    void drawBitmap() { drawStaticBitmap(hwnd(), clientX(), clientY(), clientW(), clientH()); }
};

class OtherWidget : public ControlWidget {
  public:
    using ControlWidget::ControlWidget;
    void draw() override { drawBorderAndBackground(face()); }
};

} // namespace

ControlKind controlKindOf(HWND window) {
    const DWORD style = DWORD(GetWindowLongA(window, GWL_STYLE));
    switch (layer::kindOf(window)) {
    case layer::ControlKind::Button:
        switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return ControlKind::CheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return ControlKind::RadioButton;
        case BS_GROUPBOX: return ControlKind::GroupBox;
        default: return ControlKind::PushButton;
        }
    case layer::ControlKind::Static: return ControlKind::Static;
    case layer::ControlKind::Edit: return ControlKind::Edit;
    case layer::ControlKind::ListBox: return ControlKind::ListBox;
    case layer::ControlKind::ComboBox: return ControlKind::ComboBox;
    case layer::ControlKind::Trackbar: return ControlKind::Trackbar;
    default: return ControlKind::Other;
    }
}

Fl_Widget* makeControlWidget(HWND window, ControlKind kind, int x, int y, int w, int h) {
    switch (kind) {
    case ControlKind::PushButton: return new PushButtonWidget(window, x, y, w, h);
    case ControlKind::CheckBox: return new CheckWidget(window, false, x, y, w, h);
    case ControlKind::RadioButton: return new CheckWidget(window, true, x, y, w, h);
    case ControlKind::GroupBox: return new GroupBoxWidget(window, x, y, w, h);
    case ControlKind::Static: return new StaticWidget(window, x, y, w, h);
    case ControlKind::Edit: return makeEditWidget(window, x, y, w, h);
    case ControlKind::ListBox: return makeListBoxWidget(window, x, y, w, h);
    case ControlKind::ComboBox: return makeComboBoxWidget(window, x, y, w, h);
    case ControlKind::Trackbar: return makeTrackbarWidget(window, x, y, w, h);
    case ControlKind::Other: break;
    }
    return new OtherWidget(window, x, y, w, h);
}

HWND windowOfWidget(const Fl_Widget* widget) {
    const auto* control = dynamic_cast<const ControlWidget*>(widget);
    return control ? control->hwnd() : nullptr;
}

void refreshControlWidget(Fl_Widget* widget) {
    if (auto* control = dynamic_cast<ControlWidget*>(widget))
        control->refresh();
    else
        widget->redraw();
}

void setWidgetFill(Fl_Widget* widget, const RECT& rect, COLORREF colour) {
    auto* control = dynamic_cast<ControlWidget*>(widget);
    if (!control)
        return;
    control->hasFill = true;
    control->fillRect = rect;
    control->fillColour = colour;
    control->redraw();
}
