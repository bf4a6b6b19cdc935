// The classic 3D look of the platform's controls, drawn with FLTK's primitives: colours, the
// small GUI font, raised and sunken edges, focus rectangles.
#pragma once

#include "platform/winapi.h"

#include <FL/Enumerations.H>

#include <string>

namespace fltk_look {

// Colours of the classic scheme; the face comes from the layer (GetSysColor).
constexpr Fl_Color rgb(unsigned r, unsigned g, unsigned b) {
    return Fl_Color((r << 24) | (g << 16) | (b << 8));
}
Fl_Color face();
Fl_Color colourOf(COLORREF colour);
constexpr Fl_Color highlight = rgb(255, 255, 255);
constexpr Fl_Color shadow = rgb(128, 128, 128);
constexpr Fl_Color darkShadow = rgb(64, 64, 64);
constexpr Fl_Color windowBackground = rgb(255, 255, 255);
constexpr Fl_Color text = rgb(0, 0, 0);
constexpr Fl_Color grayText = rgb(128, 128, 128);
constexpr Fl_Color selectionBackground = rgb(10, 36, 106);
constexpr Fl_Color selectionText = rgb(255, 255, 255);

// The stand-in for the platform's default GUI font: small and readable, and narrow enough
// that every label fits the width its control was given for that font ("TexEnv Param" in
// 70 pixels, "Green" in 30).
constexpr Fl_Font font = FL_FREE_FONT;
constexpr const char* fontName = "Liberation Sans";
constexpr Fl_Fontsize fontSize = 10;
constexpr int lineHeight = 13; // one row of list box or drop-down items
void installFont();            // names `font` once the display is open
void useFont();                // selects it for fl_draw and fl_width

// Edges drawn inside the rectangle; each returns nothing, the caller insets by the width.
void raisedEdge(int x, int y, int w, int h);  // 2 pixels: push buttons, thumbs
void pushedEdge(int x, int y, int w, int h);  // 2 pixels: a pressed push button
void sunkenEdge(int x, int y, int w, int h);  // 2 pixels: client edge, check boxes
void staticEdge(int x, int y, int w, int h);  // 1 pixel: WS_EX_STATICEDGE
void etchedFrame(int x, int y, int w, int h); // 2 pixels: group boxes
void focusRect(int x, int y, int w, int h);   // dotted

// Width in pixels of the border that the extended and ordinary styles put around a control.
int borderWidth(DWORD style, DWORD exStyle);
void drawBorder(DWORD style, DWORD exStyle, int x, int y, int w, int h);

// Text of a window through the layer (WM_GETTEXT).
std::string windowText(HWND window);

// Text in the small font with the platform's '&' mnemonics: "&&" is '&', '&x' underlines x.
void drawText(const std::string& text, int x, int y, int w, int h, Fl_Align align, Fl_Color colour);
void drawDisabledText(const std::string& text, int x, int y, int w, int h, Fl_Align align);

} // namespace fltk_look
