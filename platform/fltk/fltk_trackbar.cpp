#include "platform/fltk/fltk_trackbar.h"

#include "platform/controls/control_state.h"
#include "platform/fltk/fltk_control_widget.h"
#include "platform/fltk/fltk_draw.h"

#include <FL/fl_draw.H>

#include <algorithm>

using namespace fltk_look;

namespace {

class TrackbarWidget : public ControlWidget {
  public:
    using ControlWidget::ControlWidget;
    void draw() override {
        drawBorderAndBackground(face());
        const layer::TrackbarState* bar = layer::trackbarState(hwnd());
        if (!bar)
            return;
        const int cx = clientX(), cy = clientY(), cw = clientW(), ch = clientH();
        const RECT channel = layer::trackbarChannelRect(hwnd());
        sunkenEdge(cx + channel.left, cy + channel.top, channel.right - channel.left,
                   channel.bottom - channel.top);
        const RECT thumb = layer::trackbarThumbRect(hwnd());
        const int thumbX = cx + thumb.left, thumbY = cy + thumb.top;
        const int thumbW = thumb.right - thumb.left, thumbH = thumb.bottom - thumb.top;
        fl_rectf(thumbX, thumbY, thumbW, thumbH, bar->dragging ? highlight : face());
        raisedEdge(thumbX, thumbY, thumbW, thumbH);
        if (focused())
            focusRect(cx, cy, cw, ch);
    }
};

} // namespace

Fl_Widget* makeTrackbarWidget(HWND window, int x, int y, int w, int h) {
    return new TrackbarWidget(window, x, y, w, h);
}
