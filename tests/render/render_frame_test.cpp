// Frames drawn by the real message loop, read back from the view frame.
#include <cmath>

#include "platform/winapi.h"

#include <GL/gl.h>

#include "render/render_frame.h"
#include "scene/scene.h"
#include "tests/app/program_harness.h"

using scene::Polygon;

using harness::colourNear;
using harness::frameAfter;
using harness::linkPolygon;
using harness::pixel;
using headless::Rgb;

namespace {

const Rgb black = {0, 0, 0};
const Rgb red = {255, 0, 0};
const Rgb green = {0, 255, 0};
const Rgb blue = {0, 0, 255};
const Rgb white = {255, 255, 255};

// An opaque square; 2D pixels are (unit + 128) * 2.
Polygon* square(int x, int y, int size, Rgb colour) {
    Polygon* polygon = linkPolygon();
    polygon->x = x;
    polygon->y = y;
    polygon->size = size;
    polygon->red = colour.r;
    polygon->green = colour.g;
    polygon->blue = colour.b;
    polygon->alpha = 1.0f;
    return polygon;
}

class RenderTest : public harness::ProgramTest {};

TEST_F(RenderTest, OrthographicViewPutsPositiveXRightAndPositiveYDown) {
    auto frame = frameAfter([] { square(50, 50, 20, red); });
    // Units 40..60 are pixels 336..376.
    EXPECT_EQ(pixel(frame, 356, 356), red);
    EXPECT_EQ(pixel(frame, 337, 337), red);
    EXPECT_EQ(pixel(frame, 374, 374), red);
    EXPECT_EQ(pixel(frame, 334, 356), black);
    EXPECT_EQ(pixel(frame, 378, 356), black);
    EXPECT_EQ(pixel(frame, 156, 356), black);
    EXPECT_EQ(pixel(frame, 356, 156), black);
}

TEST_F(RenderTest, SizeHundredCoversTwoHundredPixelsIn2D) {
    auto frame = frameAfter([] { square(0, 0, 100, green); });
    EXPECT_EQ(pixel(frame, 157, 157), green);
    EXPECT_EQ(pixel(frame, 354, 354), green);
    EXPECT_EQ(pixel(frame, 154, 256), black);
    EXPECT_EQ(pixel(frame, 358, 256), black);
    EXPECT_EQ(pixel(frame, 256, 154), black);
    EXPECT_EQ(pixel(frame, 256, 358), black);
}

TEST_F(RenderTest, PerspectiveViewMirrorsXButKeepsYDown) {
    auto frame = frameAfter([] {
        orthographic = false;
        square(50, 50, 20, red);
    });
    EXPECT_EQ(pixel(frame, 156, 356), red);
    EXPECT_EQ(pixel(frame, 356, 356), black);
    EXPECT_EQ(pixel(frame, 156, 156), black);
}

TEST(RenderCases, LaterPolygonsCoverEarlierOnesInBothModes) {
    for (bool flat : {true, false}) {
        harness::FreshRun run;
        auto frame = frameAfter([flat] {
            orthographic = flat;
            square(0, 0, 60, red);
            square(10, 10, 60, green);
        });
        EXPECT_EQ(pixel(frame, 256, 256), green) << (flat ? "2D" : "3D");
    }
}

TEST(RenderCases, EmptyListIsClearedToBlackInBothModes) {
    for (bool flat : {true, false}) {
        harness::FreshRun run;
        int framesBefore = 0;
        std::vector<uint8_t> frame;
        harness::afterFrame(
            [&] {
                framesBefore = headless::framesPresented();
                orthographic = flat;
            },
            [&] {
                frame = headless::presentedFrame();
                EXPECT_EQ(headless::framesPresented(), framesBefore + 1);
                GLfloat clear[4];
                glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
                EXPECT_FLOAT_EQ(clear[3], 0.5f);
            });
        ASSERT_EQ(frame.size(), 512u * 512u * 3u);
        size_t lit = 0;
        for (uint8_t value : frame)
            lit += value != 0;
        EXPECT_EQ(lit, 0u) << (flat ? "2D" : "3D");
    }
}

TEST(RenderCases, BlendingUsesThePolygonsFactorsAndOnlyAnEnableOfOne) {
    struct Case {
        int enabled;
        GLenum src, dst;
        Rgb expected;
    };
    const Case cases[] = {
        {1, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, {128, 0, 128}},
        {1, GL_ONE, GL_ONE, {255, 0, 255}},
        {1, GL_ZERO, GL_ZERO, {0, 0, 0}},   // switched on without choosing factors
        {2, GL_ZERO, GL_ZERO, {0, 0, 255}}, // not exactly 1: off
    };
    for (const Case& c : cases) {
        harness::FreshRun run;
        auto frame = frameAfter([&] {
            square(0, 0, 60, red);
            Polygon* top = square(0, 0, 60, blue);
            top->alpha = 0.5f;
            top->blendEnabled = c.enabled;
            top->blendSrc = c.src;
            top->blendDst = c.dst;
            square(90, 90, 20, green); // blending off again, with the factors GL_ZERO, GL_ZERO
        });
        EXPECT_TRUE(colourNear(pixel(frame, 256, 256), c.expected))
            << "enable " << c.enabled << " factors " << c.src << ", " << c.dst;
        EXPECT_EQ(pixel(frame, 436, 436), green) << "after enable " << c.enabled;
    }
}

TEST(RenderCases, AlphaTestComparesVertexAlphaWithTheReference) {
    struct Case {
        int enabled;
        GLenum function;
        float alpha;
        bool drawn;
    };
    const Case cases[] = {
        {1, GL_GREATER, 0.4f, false}, {1, GL_GREATER, 0.6f, true}, {1, GL_LESS, 0.4f, true},
        {1, GL_ALWAYS, 0.0f, true},   {1, GL_NEVER, 1.0f, false},  {2, GL_NEVER, 1.0f, true},
    };
    for (const Case& c : cases) {
        harness::FreshRun run;
        auto frame = frameAfter([&] {
            Polygon* polygon = square(0, 0, 60, green);
            polygon->alpha = c.alpha;
            polygon->alphaTestEnabled = c.enabled;
            polygon->alphaFunc = c.function;
            polygon->alphaRef = 0.5f;
            square(90, 90, 20, red)->alphaFunc = GL_NEVER; // chosen, but the test is off
        });
        EXPECT_EQ(pixel(frame, 256, 256), c.drawn ? green : black)
            << "enable " << c.enabled << " function " << c.function << " alpha " << c.alpha;
        EXPECT_EQ(pixel(frame, 436, 436), red) << "after enable " << c.enabled;
    }
}

// Lit colour = global ambient 0.2 x material ambient + diffuse x cos(angle to the light); its
// alpha is the diffuse material's, shown here by blending with it.
TEST(RenderCases, LightingDrawsTheGreyMaterialUnlessColourMaterialIsOn) {
    struct Case {
        bool flat, colourMaterial;
        float angleY;
        Rgb expected;
    };
    const Case cases[] = {
        {true, false, 0, {214, 214, 214}},                                       // 0.04 + 0.8
        {false, false, 0, {214, 214, 214}}, {false, false, 60, {112, 112, 112}}, // 0.04 + 0.8 x 0.5
        {false, false, 180, {10, 10, 10}}, // facing away: ambient only
        {true, true, 0, {77, 0, 0}},       // red, alpha 0.3, drives ambient and diffuse
    };
    for (const Case& c : cases) {
        harness::FreshRun run;
        auto frame = frameAfter([&] {
            orthographic = c.flat;
            lighting = true;
            colorMaterial = c.colourMaterial;
            viewAngleY = c.angleY;
            Polygon* polygon = square(0, 0, 60, red);
            polygon->alpha = 0.3f; // the lit alpha comes from the material: 1 for the grey
            polygon->blendEnabled = 1;
            polygon->blendSrc = GL_SRC_ALPHA;
            polygon->blendDst = GL_ONE_MINUS_SRC_ALPHA;
        });
        EXPECT_TRUE(colourNear(pixel(frame, 256, 256), c.expected))
            << (c.flat ? "2D" : "3D") << " colour material " << c.colourMaterial << " angle "
            << c.angleY;
    }
}

TEST_F(RenderTest, GreyMaterialIsRestoredEveryFrameAfterColourMaterial) {
    Rgb lit{};
    headless::queueStep([] {
        lighting = true;
        colorMaterial = true;
        square(0, 0, 60, red);
        harness::requestFrame();
    });
    headless::queueStep([] {
        colorMaterial = false;
        harness::requestFrame();
    });
    headless::queueStep([&] { lit = headless::presentedPixel(256, 256); });
    harness::runProgram();
    EXPECT_TRUE(colourNear(lit, {214, 214, 214}));
}

// A 2 x 2 texture: first row red, green; second row blue, white.
GLuint makeQuadrantTexture() {
    const uint8_t texels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, 2, 2, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

TEST(RenderCases, FirstTextureRowIsDrawnAtTheTopAndMirroredIn3D) {
    struct Case {
        bool flat;
        Rgb topLeft, topRight, bottomLeft, bottomRight;
    };
    const Case cases[] = {
        {true, red, green, blue, white},
        {false, green, red, white, blue},
    };
    for (const Case& c : cases) {
        harness::FreshRun run;
        auto frame = frameAfter([&] {
            orthographic = c.flat;
            square(0, 0, 100, white)->texture = makeQuadrantTexture();
        });
        const char* mode = c.flat ? "2D" : "3D";
        EXPECT_EQ(pixel(frame, 206, 206), c.topLeft) << mode;
        EXPECT_EQ(pixel(frame, 306, 206), c.topRight) << mode;
        EXPECT_EQ(pixel(frame, 206, 306), c.bottomLeft) << mode;
        EXPECT_EQ(pixel(frame, 306, 306), c.bottomRight) << mode;
    }
}

TEST_F(RenderTest, TextureMappingOffDrawsPlainColour) {
    auto frame = frameAfter([] {
        textureMapping = false;
        square(0, 0, 100, white)->texture = makeQuadrantTexture();
    });
    EXPECT_EQ(pixel(frame, 206, 206), white);
    EXPECT_EQ(pixel(frame, 306, 306), white);
}

// What pixels cannot show is read back from GL once the frame is drawn: the state the last
// polygon set is still in force then.
TEST_F(RenderTest, FrameLeavesTheLastPolygonsStateInForce) {
    GLuint lastTexture = 0;
    harness::afterFrame(
        [&] {
            square(0, 0, 20, red);
            Polygon* last = square(0, 0, 20, green);
            last->texture = lastTexture = makeQuadrantTexture();
            glBindTexture(GL_TEXTURE_2D, 0); // as a load leaves it
            last->blendSrc = GL_DST_COLOR;
            last->blendDst = GL_ONE_MINUS_SRC_ALPHA;
            last->alphaFunc = GL_GEQUAL;
            last->alphaRef = 0.25f;
            last->texEnvMode = GL_DECAL;
        },
        [&] {
            GLint value = -1;
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
            EXPECT_EQ(GLuint(value), lastTexture); // bound, and then given the wrap modes
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
            EXPECT_EQ(value, GL_CLAMP);
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
            EXPECT_EQ(value, GL_CLAMP);
            glBindTexture(GL_TEXTURE_2D, 0); // no texture: object 0 is bound and gets them too
            glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
            EXPECT_EQ(value, GL_CLAMP);
            EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
            glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
            EXPECT_EQ(value, GL_DECAL);
            glGetIntegerv(GL_BLEND_SRC, &value);
            EXPECT_EQ(value, GL_DST_COLOR);
            glGetIntegerv(GL_BLEND_DST, &value);
            EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
            EXPECT_FALSE(glIsEnabled(GL_BLEND));
            glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
            EXPECT_EQ(value, GL_GEQUAL);
            GLfloat reference = 0;
            glGetFloatv(GL_ALPHA_TEST_REF, &reference);
            EXPECT_FLOAT_EQ(reference, 0.25f);
            EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
            glGetIntegerv(GL_DEPTH_FUNC, &value);
            EXPECT_EQ(value, GL_LESS);
            GLfloat depthClear = 0;
            glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depthClear);
            EXPECT_FLOAT_EQ(depthClear, 1.0f); // 5.0 asked for, clamped
            EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
            EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
            GLfloat colour[4];
            glGetFloatv(GL_CURRENT_COLOR, colour);
            EXPECT_FLOAT_EQ(colour[1], 1.0f);
            EXPECT_FLOAT_EQ(colour[3], 1.0f);
            GLint viewport[4];
            glGetIntegerv(GL_VIEWPORT, viewport);
            EXPECT_EQ(viewport[2], 512);
            EXPECT_EQ(viewport[3], 512);
        });
}

TEST_F(RenderTest, TextureEnvironmentIsSetEvenWithTextureMappingOff) {
    harness::afterFrame(
        [] {
            textureMapping = false;
            square(0, 0, 20, red)->texEnvMode = GL_BLEND;
        },
        [] {
            GLint mode = 0;
            glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
            EXPECT_EQ(mode, GL_BLEND);
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        });
}

TEST_F(RenderTest, ProjectionFollowsTheDisplayMode) {
    GLfloat flat[16], deep[16], eye[16];
    headless::queueStep([] {
        square(0, 0, 20, red);
        harness::requestFrame();
    });
    headless::queueStep([&] {
        glGetFloatv(GL_PROJECTION_MATRIX, flat);
        orthographic = false;
        harness::requestFrame();
    });
    headless::queueStep([&] {
        glGetFloatv(GL_PROJECTION_MATRIX, deep);
        glGetFloatv(GL_MODELVIEW_MATRIX, eye);
    });
    harness::runProgram();
    // glOrtho(-128, 128, 128, -128, 256, -256)
    EXPECT_FLOAT_EQ(flat[0], 1.0f / 128);
    EXPECT_FLOAT_EQ(flat[5], -1.0f / 128);
    EXPECT_FLOAT_EQ(flat[10], 1.0f / 256);
    // gluPerspective(45, 1, 2, -2): the far value of -2 gives a zero depth scale
    const float cotangent = float(1.0 / std::tan(22.5 * M_PI / 180.0));
    EXPECT_NEAR(deep[0], cotangent, 1e-5);
    EXPECT_NEAR(deep[5], cotangent, 1e-5);
    EXPECT_NEAR(deep[10], 0.0f, 1e-6);
    EXPECT_NEAR(deep[14], -2.0f, 1e-5);
    EXPECT_FLOAT_EQ(deep[11], -1.0f);
    // The view as it starts: turned half round z (+y down), 310 units back, not turned further.
    const float view[16] = {-1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, -310, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(eye[i], view[i], 1e-4) << "modelview element " << i;
}

TEST_F(RenderTest, Only512PolygonsFitTheDepthRangeIn2D) {
    auto frame = frameAfter([] {
        for (int k = 1; k <= 510; ++k)
            square(-100, -100, 2, red);
        square(0, 0, 10, green);   // 511th, z = -255
        square(0, 0, 4, blue);     // 512th, z = -256: the near end
        square(60, 60, 10, white); // 513th, z = -257: outside
    });
    EXPECT_EQ(pixel(frame, 262, 262), green);
    EXPECT_EQ(pixel(frame, 256, 256), blue);
    EXPECT_EQ(pixel(frame, 376, 376), black);
}

// The first and last pixel of a colour along the frame's middle row; -1, -1 when none.
std::pair<int, int> spanAtMiddle(const std::vector<uint8_t>& frame, Rgb colour) {
    int left = -1, right = -1;
    for (int x = 0; x < 512; ++x) {
        if (pixel(frame, x, 256) != colour)
            continue;
        if (left < 0)
            left = x;
        right = x;
    }
    return {left, right};
}

const double pixelsPerUnitAtOne = 256.0 / std::tan(22.5 * M_PI / 180.0);

// In 3D the polygons stand along z, centred on 0, the first farthest. A square's width and
// centre on screen tell its distance from the eye (310 - z).
class PerspectiveDepthTest : public harness::ProgramTest,
                             public ::testing::WithParamInterface<int> {};

TEST_P(PerspectiveDepthTest, PolygonsStandAtTheirDepths) {
    const int count = GetParam();
    const std::vector<std::vector<double>> depths = {
        {0.0}, {-27.5, 27.5}, {-38.3333, 0.0, 38.3333}, {-45, -15, 15, 45}};
    const int positions[] = {-90, -30, 30, 90};
    const Rgb colours[] = {red, green, blue, white};
    auto frame = frameAfter([&] {
        orthographic = false;
        for (int i = 0; i < count; ++i)
            square(positions[i], 0, 20, colours[i]);
    });
    for (int i = 0; i < count; ++i) {
        auto [left, right] = spanAtMiddle(frame, colours[i]);
        ASSERT_GE(left, 0) << "polygon " << i + 1 << " of " << count << " not drawn";
        double distance = 310.0 - depths[count - 1][i];
        double scale = pixelsPerUnitAtOne / distance;
        EXPECT_NEAR(right - left + 1, 20 * scale, 1.5) << "width of " << i + 1 << " of " << count;
        EXPECT_NEAR((left + right + 1) / 2.0, 256 - positions[i] * scale, 1.5)
            << "centre of " << i + 1 << " of " << count;
    }
}

INSTANTIATE_TEST_SUITE_P(OneToFour, PerspectiveDepthTest, ::testing::Values(1, 2, 3, 4));

// A hundred polygons stand 50 / 50 + 5 = 6 units apart: the last at z = 297, 13 units before
// the eye, where a step that is a little off shows many times over.
TEST_F(RenderTest, HundredthPolygonStandsThirteenUnitsBeforeTheEye) {
    auto frame = frameAfter([] {
        orthographic = false;
        for (int i = 0; i < 99; ++i)
            square(-100, -100, 1, red); // far from the middle row at every depth
        square(0, 0, 2, green);
    });
    auto [left, right] = spanAtMiddle(frame, green);
    EXPECT_NEAR(right - left + 1, 2 * pixelsPerUnitAtOne / 13.0, 1.5);
}

} // namespace
