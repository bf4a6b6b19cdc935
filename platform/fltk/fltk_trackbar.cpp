#include "platform/fltk/fltk_trackbar.h"

#include "platform/controls/control_state.h"
#include "platform/fltk/fltk_control_widget.h"
#include "platform/fltk/fltk_draw.h"

#include <FL/fl_draw.H>

#include <algorithm>

using namespace fltk_look;

namespace {

constexpr int thumbWidth = 11;
constexpr int channelHeight = 4;

class TrackbarWidget : public ControlWidget {
  public:
    using ControlWidget::ControlWidget;
    void draw() override {
        drawBorderAndBackground(face());
        const layer::TrackbarState* bar = layer::trackbarState(hwnd());
        if (!bar)
            return;
        const int cx = clientX(), cy = clientY(), cw = clientW(), ch = clientH();
        const int channelLeft = layer::trackbarMargin - thumbWidth / 2;
        const int channelY = cy + (ch - channelHeight) / 2;
        sunkenEdge(cx + channelLeft, channelY, cw - 2 * channelLeft, channelHeight);

        const int thumbCentre = cx + layer::trackbarThumbX(hwnd(), bar->pos);
        const int thumbHeight = std::min(ch - 2, 20);
        const int thumbX = thumbCentre - thumbWidth / 2, thumbY = cy + (ch - thumbHeight) / 2;
        fl_rectf(thumbX, thumbY, thumbWidth, thumbHeight, bar->dragging ? highlight : face());
        raisedEdge(thumbX, thumbY, thumbWidth, thumbHeight);
        if (focused())
            focusRect(cx, cy, cw, ch);
    }
};

} // namespace

Fl_Widget* makeTrackbarWidget(HWND window, int x, int y, int w, int h) {
    return new TrackbarWidget(window, x, y, w, h);
}
