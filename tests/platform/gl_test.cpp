// GDI and WGL on the headless backend: a real GL context on an EGL pbuffer, frames counted,
// pixels read back top row first, and each step made to fail on demand.
#include "tests/platform/layer_fixture.h"

#include <GL/gl.h>

using namespace headless;

namespace {

PIXELFORMATDESCRIPTOR viewFrameFormat() {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

class GlTest : public LayerTest {
  protected:
    void SetUp() override {
        LayerTest::SetUp();
        frame = makeControl("STATIC", "glFrame", SS_BLACKRECT | SS_NOTIFY, 0, 6, 6, 512, 512);
    }
    // The program's sequence; returns the first step that failed, or 0.
    int makeContext() {
        dc = GetDC(frame);
        if (!dc)
            return 1;
        PIXELFORMATDESCRIPTOR pfd = viewFrameFormat();
        int format = ChoosePixelFormat(dc, &pfd);
        if (!format)
            return 2;
        if (!SetPixelFormat(dc, format, &pfd))
            return 3;
        context = wglCreateContext(dc);
        if (!context)
            return 4;
        if (!wglMakeCurrent(dc, context))
            return 5;
        return 0;
    }
    HWND frame = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
};

} // namespace

TEST_F(GlTest, DrawsAndReadsBackTopRowFirst) {
    ASSERT_TRUE(glAvailable()) << "Mesa's EGL (surfaceless platform) is needed";
    ASSERT_EQ(makeContext(), 0);
    EXPECT_EQ(wglGetCurrentContext(), context);
    EXPECT_EQ(wglGetCurrentDC(), dc);
    GLint alpha = -1, depth = -1;
    glGetIntegerv(GL_ALPHA_BITS, &alpha);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    EXPECT_EQ(alpha, 0);
    EXPECT_EQ(depth, 16);
    glViewport(0, 0, 512, 512);
    glClearColor(1, 0, 0, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 512, 512, 0, -1, 1); // y down, as the view's 2D mode
    glBegin(GL_QUADS);
    glColor3ub(0, 255, 0);
    glVertex2i(0, 0);
    glVertex2i(64, 0);
    glVertex2i(64, 32);
    glVertex2i(0, 32);
    glEnd();
    EXPECT_EQ(framesPresented(), 0);
    EXPECT_TRUE(SwapBuffers(dc));
    EXPECT_EQ(framesPresented(), 1);
    EXPECT_EQ(presentedPixel(10, 10), (Rgb{0, 255, 0}));
    EXPECT_EQ(presentedPixel(10, 40), (Rgb{255, 0, 0}));
    EXPECT_EQ(presentedPixel(511, 511), (Rgb{255, 0, 0}));
    EXPECT_EQ(presentedFrame().size(), 512u * 512u * 3u);
    GLint packAlignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    EXPECT_EQ(packAlignment, 4); // reading the frame left GL as it was
    EXPECT_TRUE(SwapBuffers(dc));
    EXPECT_EQ(framesPresented(), 2);
}

TEST_F(GlTest, EachStepCanBeMadeToFail) {
    failGetDc("glFrame");
    EXPECT_EQ(makeContext(), 1);
    EXPECT_NE(GetDC(owner), nullptr); // other windows keep theirs
}

TEST_F(GlTest, ChoosingTheFormatFails) {
    failGlStep(GlStep::ChoosePixelFormat);
    EXPECT_EQ(makeContext(), 2);
}

TEST_F(GlTest, SettingTheFormatFails) {
    failGlStep(GlStep::SetPixelFormat);
    EXPECT_EQ(makeContext(), 3);
}

TEST_F(GlTest, CreatingTheContextFails) {
    failGlStep(GlStep::CreateContext);
    EXPECT_EQ(makeContext(), 4);
}

TEST_F(GlTest, MakingItCurrentFailsAndNothingIsPresented) {
    failGlStep(GlStep::MakeCurrent);
    EXPECT_EQ(makeContext(), 5);
    EXPECT_FALSE(SwapBuffers(dc));
    EXPECT_EQ(framesPresented(), 0);
    EXPECT_TRUE(presentedFrame().empty());
}

TEST_F(GlTest, FormatIsSetOnceAndDescribed) {
    ASSERT_TRUE(glAvailable());
    dc = GetDC(frame);
    PIXELFORMATDESCRIPTOR pfd = viewFrameFormat();
    int format = ChoosePixelFormat(dc, &pfd);
    ASSERT_GT(format, 0);
    EXPECT_TRUE(SetPixelFormat(dc, format, &pfd));
    EXPECT_FALSE(SetPixelFormat(dc, format + 1, &pfd));
    PIXELFORMATDESCRIPTOR described{};
    EXPECT_GT(DescribePixelFormat(dc, format, sizeof described, &described), 0);
    EXPECT_EQ(described.cAlphaBits, 0);
    EXPECT_EQ(described.cDepthBits, 16);
    EXPECT_TRUE(described.dwFlags & PFD_DOUBLEBUFFER);
}

TEST_F(GlTest, SwatchFillIsKeptAndBrushesDoNotLeak) {
    HWND swatch = makeControl("STATIC", "ColFrame", SS_BLACKRECT, 0, 764, 128, 62, 58);
    SetWindowLongA(swatch, GWL_EXSTYLE, WS_EX_STATICEDGE);
    int before = liveGdiObjects();
    HDC swatchDc = GetDC(swatch);
    HBRUSH brush = CreateSolidBrush(RGB(128, 64, 255));
    RECT area{0, 0, 60, 56};
    EXPECT_TRUE(FillRect(swatchDc, &area, brush));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(ReleaseDC(swatch, swatchDc), 1);
    EXPECT_TRUE(hasFill(swatch));
    EXPECT_EQ(fillColour(swatch), RGB(128, 64, 255));
    HDC again = GetDC(swatch); // a stock brush fills in its own colour
    EXPECT_TRUE(FillRect(again, &area, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH))));
    ReleaseDC(swatch, again);
    EXPECT_EQ(fillColour(swatch), RGB(128, 128, 128));
    EXPECT_EQ(liveGdiObjects(), before);
    EXPECT_FALSE(DeleteObject(brush)); // once only
    EXPECT_TRUE(DeleteObject(GetStockObject(DEFAULT_GUI_FONT)));
    EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT), GetStockObject(DEFAULT_GUI_FONT));
}
