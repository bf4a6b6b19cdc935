#include "platform/fltk/fltk_message_box.h"

#include "platform/fltk/fltk_draw.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <memory>

using namespace fltk_look;

std::vector<int> messageBoxButtons(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

const char* messageBoxButtonText(int answer) {
    switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "&Abort";
    case IDRETRY: return "&Retry";
    case IDIGNORE: return "&Ignore";
    case IDYES: return "&Yes";
    case IDNO: return "&No";
    default: return "";
    }
}

int messageBoxEscapeAnswer(UINT type) {
    const std::vector<int> buttons = messageBoxButtons(type);
    if (buttons.size() == 1)
        return buttons[0];
    return std::find(buttons.begin(), buttons.end(), IDCANCEL) != buttons.end() ? IDCANCEL : 0;
}

int messageBoxDefaultButton(UINT type) {
    const int count = int(messageBoxButtons(type).size());
    const int wanted = (type & MB_DEFBUTTON3) == MB_DEFBUTTON3 ? 2 : (type & MB_DEFBUTTON2) ? 1 : 0;
    return wanted < count ? wanted : 0;
}

namespace {

constexpr int margin = 12;
constexpr int iconSize = 32;
constexpr int buttonWidth = 75, buttonHeight = 23, buttonGap = 6;
constexpr int widestText = 420;

enum class Icon { NoIcon, Stop, Question, Exclamation, Information };

Icon iconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return Icon::Stop;
    case MB_ICONQUESTION: return Icon::Question;
    case MB_ICONEXCLAMATION: return Icon::Exclamation;
    case MB_ICONASTERISK: return Icon::Information;
    default: return Icon::NoIcon;
    }
}

class IconWidget : public Fl_Widget {
  public:
    IconWidget(Icon icon, int x, int y) : Fl_Widget(x, y, iconSize, iconSize), icon_(icon) {}
    void draw() override {
        const int cx = x() + iconSize / 2, cy = y() + iconSize / 2;
        fl_font(FL_HELVETICA_BOLD, 22);
        switch (icon_) {
        case Icon::Stop:
            fl_color(rgb(255, 0, 0));
            fl_pie(x(), y(), iconSize, iconSize, 0, 360);
            fl_color(rgb(255, 255, 255));
            fl_line_style(FL_SOLID, 4);
            fl_line(cx - 7, cy - 7, cx + 7, cy + 7);
            fl_line(cx - 7, cy + 7, cx + 7, cy - 7);
            fl_line_style(0);
            break;
        case Icon::Exclamation:
            fl_color(rgb(255, 255, 0));
            fl_polygon(cx, y() + 1, x() + 1, y() + iconSize - 2, x() + iconSize - 2,
                       y() + iconSize - 2);
            fl_color(text);
            fl_loop(cx, y() + 1, x() + 1, y() + iconSize - 2, x() + iconSize - 2,
                    y() + iconSize - 2);
            fl_draw("!", x(), y() + 6, iconSize, iconSize - 6, FL_ALIGN_CENTER, nullptr, 0);
            break;
        case Icon::Question:
        case Icon::Information:
            fl_color(rgb(0, 0, 255));
            fl_pie(x(), y(), iconSize, iconSize, 0, 360);
            fl_color(rgb(255, 255, 255));
            fl_draw(icon_ == Icon::Question ? "?" : "i", x(), y(), iconSize, iconSize,
                    FL_ALIGN_CENTER, nullptr, 0);
            break;
        case Icon::NoIcon: break;
        }
    }

  private:
    Icon icon_;
};

// The text exactly as given: no '&' mnemonics and no FLTK '@' symbols.
class TextWidget : public Fl_Widget {
  public:
    TextWidget(const char* text, int x, int y, int w, int h) : Fl_Widget(x, y, w, h), text_(text) {}
    void draw() override {
        useFont();
        fl_color(fltk_look::text);
        fl_draw(text_.c_str(), x(), y(), w(), h(),
                FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP | FL_ALIGN_INSIDE, nullptr, 0);
    }

  private:
    std::string text_;
};

class MessageBoxWindow : public Fl_Double_Window {
  public:
    MessageBoxWindow(int w, int h, int escapeAnswer)
        : Fl_Double_Window(w, h), escape_(escapeAnswer) {
        callback(closeBox, this);
    }
    int answer = 0;
    std::vector<Fl_Button*> buttons;
    std::vector<int> answers;

    int handle(int event) override {
        if (event == FL_KEYBOARD || event == FL_SHORTCUT) {
            const int key = Fl::event_key();
            if (key == FL_Enter || key == FL_KP_Enter) {
                for (size_t i = 0; i < buttons.size(); ++i)
                    if (Fl::focus() == buttons[i])
                        return finish(answers[i]);
                return finish(answers[0]);
            }
            if (key == FL_Escape)
                return escape_ ? finish(escape_) : 1;
        }
        return Fl_Double_Window::handle(event);
    }
    int finish(int value) {
        answer = value;
        hide();
        return 1;
    }

  private:
    static void closeBox(Fl_Widget*, void* self) {
        auto* box = static_cast<MessageBoxWindow*>(self);
        if (box->escape_)
            box->finish(box->escape_);
    }
    int escape_;
};

void pressed(Fl_Widget* button, void* answer) {
    auto* box = static_cast<MessageBoxWindow*>(button->window());
    box->finish(int(reinterpret_cast<intptr_t>(answer)));
}

} // namespace

int showMessageBox(Fl_Window* owner, const char* text, const char* caption, UINT type) {
    const std::string message = text ? text : "";
    const Icon icon = iconOf(type);
    useFont();
    int textW = widestText, textH = 0;
    fl_measure(message.c_str(), textW, textH, 0);
    textW = std::min(textW, widestText);
    const std::vector<int> answers = messageBoxButtons(type);
    const int buttonsW = int(answers.size()) * buttonWidth + (int(answers.size()) - 1) * buttonGap;
    const int iconW = icon == Icon::NoIcon ? 0 : iconSize + margin;
    const int contentH = std::max(textH, icon == Icon::NoIcon ? 0 : iconSize);
    const int width = std::max({2 * margin + iconW + textW, 2 * margin + buttonsW, 140});
    const int height = margin + contentH + 2 * margin + buttonHeight + margin;

    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    auto box = std::make_unique<MessageBoxWindow>(width, height, messageBoxEscapeAnswer(type));
    box->copy_label(caption ? caption : "Error");
    box->color(face());
    if (icon != Icon::NoIcon)
        new IconWidget(icon, margin, margin);
    const int textY = margin + std::max(0, (contentH - textH) / 2);
    new TextWidget(message.c_str(), margin + iconW, textY, textW, textH);
    int bx = (width - buttonsW) / 2;
    for (int answer : answers) {
        auto* button = new Fl_Button(bx, height - margin - buttonHeight, buttonWidth, buttonHeight);
        button->copy_label(messageBoxButtonText(answer));
        button->labelfont(font);
        button->labelsize(fontSize);
        button->callback(pressed, reinterpret_cast<void*>(intptr_t(answer)));
        box->buttons.push_back(button);
        box->answers.push_back(answer);
        bx += buttonWidth + buttonGap;
    }
    box->end();
    Fl_Group::current(saved);

    if (owner && owner->shown())
        box->position(owner->x() + (owner->w() - width) / 2,
                      owner->y() + (owner->h() - height) / 2);
    else
        box->position((Fl::w() - width) / 2, (Fl::h() - height) / 2);
    box->set_modal();
    box->show();
    box->buttons[messageBoxDefaultButton(type)]->take_focus();
    while (box->shown())
        Fl::wait();
    return box->answer;
}
