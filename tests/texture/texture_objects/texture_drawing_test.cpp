// Textured squares as they reach the screen, read back by pixel.
#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>

#include <functional>
#include <ostream>

#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/texture/texture_objects/texture_scenario.h"

using headless::click;
using headless::queueStep;

namespace textures {
namespace {

constexpr Rgba white{255, 255, 255, 255};

class TextureDrawingTest : public TextureScenario {
  protected:
    void SetUp() override {
        TextureScenario::SetUp();
        ASSERT_TRUE(headless::glAvailable()) << "these tests draw with the offscreen GL surface";
    }
};

void addPolygon() {
    click(control(idAdd));
}

// ---------------------------------------------------------------------------------------------
// Every format the chooser offers

struct FormatCase {
    const char* fileName;
    std::function<std::vector<uint8_t>(const Picture&)> encode;
};

void PrintTo(const FormatCase& format, std::ostream* out) {
    *out << format.fileName;
}

class TextureFormatTest : public TextureDrawingTest,
                          public ::testing::WithParamInterface<FormatCase> {};

TEST_P(TextureFormatTest, BrowseThenOkDrawsThePictureTopRowAtTheTop) {
    const std::string path = writePicture(GetParam().fileName, GetParam().encode(primaries()));
    queueStep(addPolygon);
    applyPicture(path);
    queueStep([] {
        EXPECT_EQ(headless::windowText(textureFileField), GetParam().fileName);
        EXPECT_TRUE(showsPicture(squareAt(0), primaries()));
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
    EXPECT_TRUE(headless::messageBoxCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, TextureFormatTest,
    ::testing::Values(FormatCase{"rgb.bmp", [](const Picture& p) { return bmpFile(p, 24); }},
                      FormatCase{"rgba.bmp", [](const Picture& p) { return bmpFile(p, 32); }},
                      FormatCase{"rgb.pcx", [](const Picture& p) { return pcxFile(p); }},
                      FormatCase{"rgb.tga", [](const Picture& p) { return tgaFile(p, 24); }},
                      FormatCase{"rgba.tga", [](const Picture& p) { return tgaFile(p, 32); }},
                      FormatCase{"rgb.qfr", [](const Picture& p) { return qfrFile(p, 24); }},
                      FormatCase{"rgba.qfr", [](const Picture& p) { return qfrFile(p, 32); }}),
    [](const auto& info) {
        std::string name = info.param.fileName;
        name[name.find('.')] = '_';
        return name;
    });

// ---------------------------------------------------------------------------------------------
// Both filters in both display modes

struct ViewCase {
    bool perspective;
    bool linear;
};

void PrintTo(const ViewCase& view, std::ostream* out) {
    *out << (view.perspective ? "3D" : "2D") << (view.linear ? " GL_LINEAR" : " GL_NEAREST");
}

class TextureViewTest : public TextureDrawingTest,
                        public ::testing::WithParamInterface<ViewCase> {};

TEST_P(TextureViewTest, FilterAndModeShapeThePicture) {
    const ViewCase view = GetParam();
    // Two pixels wide at 24 bits: 6-byte rows, read exactly.
    const std::string path = writePicture("quarters.bmp", bmpFile(primaries(), 24));
    queueStep(addPolygon);
    if (view.perspective)
        queueStep([] { headless::chooseMenuItem(mainWindow, idPerspective); });
    applyPicture(path, 0, view.linear ? 1 : 0);
    queueStep([view] {
        SquareOnScreen square = squareAt(0);
        square.mirrored = view.perspective; // the 3D view turns +x to the left
        // Quarter centres sit on texel centres, where both filters give the texel itself.
        EXPECT_TRUE(showsPicture(square, primaries(), view.linear ? 6 : 2));
        // At the middle GL_LINEAR blends all four texels; GL_NEAREST shows one of them.
        const Rgba average{128, 128, 128, 255};
        headless::Rgb middle = headless::presentedPixel(256, 256);
        bool blended = pixelNear(256, 256, average, 8);
        EXPECT_EQ(blended, view.linear)
            << int(middle.r) << ", " << int(middle.g) << ", " << int(middle.b);
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Views, TextureViewTest,
                         ::testing::Values(ViewCase{false, false}, ViewCase{false, true},
                                           ViewCase{true, false}, ViewCase{true, true}),
                         [](const auto& info) {
                             return std::string(info.param.perspective ? "Perspective"
                                                                       : "Orthographic") +
                                    (info.param.linear ? "Linear" : "Nearest");
                         });

// ---------------------------------------------------------------------------------------------
// Depth and alpha

// Blending on with the texture's own alpha: src alpha, one minus src alpha, over black.
void blendWithTextureAlpha() {
    currentPolygon->blendEnabled = 1;
    currentPolygon->blendSrc = GL_SRC_ALPHA;
    currentPolygon->blendDst = GL_ONE_MINUS_SRC_ALPHA;
    currentPolygon->texEnvMode = GL_REPLACE;
    requestFrame();
}

TEST_F(TextureDrawingTest, ThirtyTwoBitPicturesKeepTheirAlpha) {
    const Picture seeThrough{
        2, 2, {{255, 255, 255, 255}, {255, 255, 255, 0}, {255, 255, 255, 128}, {255, 0, 0, 255}}};
    const std::string rgba = writePicture("alpha.tga", tgaFile(seeThrough, 32));
    const std::string rgb = writePicture("opaque.tga", tgaFile(seeThrough, 24));
    queueStep(addPolygon);
    applyPicture(rgba);
    queueStep(blendWithTextureAlpha);
    queueStep([] {
        EXPECT_TRUE(showsPicture(
            squareAt(0), {2, 2, {white, {0, 0, 0, 255}, {128, 128, 128, 255}, {255, 0, 0, 255}}},
            3));
    });
    applyPicture(rgb);
    queueStep([] {
        // Without alpha of its own the texture leaves the polygon's 0.5.
        const Rgba half{128, 128, 128, 255};
        EXPECT_TRUE(showsPicture(squareAt(0), {2, 2, {half, half, half, {128, 0, 0, 255}}}, 3));
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

class FailedUploadTest : public TextureDrawingTest, public ::testing::WithParamInterface<int> {};

TEST_P(FailedUploadTest, OtherDepthsLeaveAnEmptyTextureAndAPlainSquare) {
    const int bits = GetParam();
    const std::string first = writePicture("first.qfr", qfrFile(primaries(), 24));
    const std::string deep = writePicture("deep.qfr", qfrFileOfDepth(2, 2, bits, 0x40));
    uint32_t texture = 0;
    queueStep(addPolygon);
    applyPicture(first);
    queueStep([] { EXPECT_TRUE(showsPicture(squareAt(0), primaries())); });
    applyPicture(deep);
    queueStep([&] {
        texture = currentPolygon->texture;
        EXPECT_NE(texture, 0u);
        EXPECT_EQ(currentPolygon->image.bitsPerPixel, bits);
        EXPECT_EQ(headless::windowText(textureFileField), "deep.qfr");
        EXPECT_TRUE(showsPlain(squareAt(0), white)); // lost the first picture, drawn untextured
        GLint width = -1;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        EXPECT_EQ(width, 0);
        click(control(idRemoveTexture)); // still works on the empty texture
    });
    queueStep([&] {
        EXPECT_EQ(currentPolygon->texture, 0u);
        EXPECT_FALSE(glIsTexture(texture));
        EXPECT_EQ(headless::windowText(textureFileField), "None");
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Depths, FailedUploadTest, ::testing::Values(8, 16),
                         [](const auto& info) { return std::to_string(info.param) + "Bit"; });

// ---------------------------------------------------------------------------------------------
// Remove, and Cancel after an earlier texture

TEST_F(TextureDrawingTest, RemoveClearsPictureNameAndTexture) {
    const std::string path = writePicture("gone.qfr", qfrFile(primaries(), 24));
    uint32_t texture = 0;
    queueStep(addPolygon);
    applyPicture(path);
    queueStep([&] {
        EXPECT_TRUE(showsPicture(squareAt(0), primaries()));
        texture = currentPolygon->texture;
        click(control(idRemoveTexture));
    });
    queueStep([&] {
        EXPECT_EQ(currentPolygon->texture, 0u);
        EXPECT_FALSE(glIsTexture(texture));
        EXPECT_STREQ(currentPolygon->textureFile, "None");
        EXPECT_EQ(currentPolygon->image.pixels, nullptr);
        EXPECT_EQ(currentPolygon->image.width, 0);
        EXPECT_EQ(headless::windowText(textureFileField), "None");
        EXPECT_TRUE(showsPlain(squareAt(0), white));
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(TextureDrawingTest, CancelAfterBrowseKeepsDrawingTheEarlierTexture) {
    const std::string earlier = writePicture("earlier.bmp", bmpFile(primaries(), 24));
    const std::string later = writePicture("later.bmp", bmpFile(secondaries(), 24));
    uint32_t texture = 0;
    queueStep(addPolygon);
    applyPicture(earlier);
    queueStep([&] {
        texture = currentPolygon->texture;
        click(control(idModifyTexture));
    });
    queueStep([=] { browse(later); });
    queueStep([] { click(dialogItem(IDCANCEL)); });
    queueStep([&] {
        EXPECT_EQ(currentPolygon->texture, texture);
        EXPECT_STREQ(currentPolygon->textureFile, "later.bmp");
        EXPECT_EQ(headless::windowText(textureFileField), "earlier.bmp");
        EXPECT_TRUE(showsPicture(squareAt(0), primaries()));
        click(control(idModifyTexture));
    });
    queueStep([] { click(dialogItem(IDOK)); }); // OK alone makes the waiting picture's texture
    queueStep([] {
        EXPECT_EQ(headless::windowText(textureFileField), "later.bmp");
        EXPECT_TRUE(showsPicture(squareAt(0), secondaries()));
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

} // namespace
} // namespace textures
