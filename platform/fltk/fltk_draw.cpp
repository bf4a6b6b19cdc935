#include "platform/fltk/fltk_draw.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <string>
#include <vector>

namespace fltk_look {

namespace {

// Two-colour frame one pixel wide: top and left in `topLeft`, bottom and right in `bottomRight`.
void frame(int x, int y, int w, int h, Fl_Color topLeft, Fl_Color bottomRight) {
    if (w <= 0 || h <= 0)
        return;
    fl_color(topLeft);
    fl_xyline(x, y, x + w - 1);
    fl_yxline(x, y, y + h - 1);
    fl_color(bottomRight);
    fl_xyline(x, y + h - 1, x + w - 1);
    fl_yxline(x + w - 1, y, y + h - 1);
}

} // namespace

Fl_Color colourOf(COLORREF colour) {
    return rgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

Fl_Color face() {
    return colourOf(GetSysColor(COLOR_BTNFACE));
}

void installFont() {
    // The family's four faces, as FLTK's own widgets pick bold or italic by adding to it.
    // FLTK keeps the name pointers.
    static const std::string plain = std::string(" ") + fontName,
                             bold = std::string("B") + fontName,
                             italic = std::string("I") + fontName,
                             boldItalic = std::string("P") + fontName;
    Fl::set_font(font, plain.c_str());
    Fl::set_font(Fl_Font(font + FL_BOLD), bold.c_str());
    Fl::set_font(Fl_Font(font + FL_ITALIC), italic.c_str());
    Fl::set_font(Fl_Font(font + FL_BOLD + FL_ITALIC), boldItalic.c_str());
}

void useFont() {
    fl_font(font, fontSize);
}

void raisedEdge(int x, int y, int w, int h) {
    frame(x, y, w, h, highlight, darkShadow);
    frame(x + 1, y + 1, w - 2, h - 2, face(), shadow);
}

void pushedEdge(int x, int y, int w, int h) {
    frame(x, y, w, h, darkShadow, darkShadow);
    frame(x + 1, y + 1, w - 2, h - 2, shadow, shadow);
}

void sunkenEdge(int x, int y, int w, int h) {
    frame(x, y, w, h, shadow, highlight);
    frame(x + 1, y + 1, w - 2, h - 2, darkShadow, face());
}

void staticEdge(int x, int y, int w, int h) {
    frame(x, y, w, h, shadow, highlight);
}

void etchedFrame(int x, int y, int w, int h) {
    fl_color(shadow);
    fl_rect(x, y, w - 1, h - 1);
    fl_color(highlight);
    fl_xyline(x + 1, y + 1, x + w - 3);
    fl_yxline(x + 1, y + 1, y + h - 3);
    fl_xyline(x, y + h - 1, x + w - 1);
    fl_yxline(x + w - 1, y, y + h - 1);
}

void focusRect(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0)
        return;
    fl_color(text);
    fl_line_style(FL_DOT);
    fl_rect(x, y, w, h);
    fl_line_style(0);
}

int borderWidth(DWORD style, DWORD exStyle) {
    int width = 0;
    if (exStyle & WS_EX_CLIENTEDGE)
        width += 2;
    if (exStyle & WS_EX_STATICEDGE)
        width += 1;
    if (style & WS_BORDER)
        width += 1;
    return width;
}

void drawBorder(DWORD style, DWORD exStyle, int x, int y, int w, int h) {
    if (exStyle & WS_EX_CLIENTEDGE) {
        sunkenEdge(x, y, w, h);
        x += 2, y += 2, w -= 4, h -= 4;
    }
    if (exStyle & WS_EX_STATICEDGE) {
        staticEdge(x, y, w, h);
        x += 1, y += 1, w -= 2, h -= 2;
    }
    if (style & WS_BORDER) {
        fl_color(text);
        fl_rect(x, y, w, h);
    }
}

std::string windowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    std::vector<char> buffer(length + 1, '\0');
    const int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? copied : 0);
}

void drawText(const std::string& text, int x, int y, int w, int h, Fl_Align align,
              Fl_Color colour) {
    useFont();
    fl_color(colour);
    const char saved = fl_draw_shortcut;
    fl_draw_shortcut = 1;
    fl_draw(text.c_str(), x, y, w, h, align | FL_ALIGN_INSIDE, nullptr, 0);
    fl_draw_shortcut = saved;
}

void drawDisabledText(const std::string& text, int x, int y, int w, int h, Fl_Align align) {
    drawText(text, x + 1, y + 1, w, h, align, highlight);
    drawText(text, x, y, w, h, align, shadow);
}

} // namespace fltk_look
