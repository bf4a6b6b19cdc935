#include <gtest/gtest.h>

#include <cstring>

#include "platform/winapi.h"

#include <GL/gl.h>

#include "scene/scene.h"
#include "texture/image_buffer.h"

using scene::Polygon;

namespace {

TEST(PolygonTest, NewPolygonIsAWhiteHundredUnitSquareAtTheCentre) {
    Polygon* polygon = makePolygon();
    ASSERT_NE(polygon, nullptr);
    EXPECT_EQ(polygon->red, 255);
    EXPECT_EQ(polygon->green, 255);
    EXPECT_EQ(polygon->blue, 255);
    EXPECT_EQ(polygon->size, 100);
    EXPECT_EQ(polygon->x, 0);
    EXPECT_EQ(polygon->y, 0);
    EXPECT_FLOAT_EQ(polygon->alpha, 0.5f);
    EXPECT_FLOAT_EQ(polygon->alphaRef, 0.5f);
    EXPECT_EQ(polygon->blendEnabled, 0);
    EXPECT_EQ(polygon->alphaTestEnabled, 0);
    EXPECT_EQ(polygon->blendSrcIndex, 0);
    EXPECT_EQ(polygon->blendSrc, unsigned(GL_ZERO));
    EXPECT_EQ(polygon->blendDstIndex, 0);
    EXPECT_EQ(polygon->blendDst, unsigned(GL_ZERO));
    EXPECT_EQ(polygon->alphaFuncIndex, 7);
    EXPECT_EQ(polygon->alphaFunc, unsigned(GL_ALWAYS));
    EXPECT_EQ(polygon->texEnvIndex, 0);
    EXPECT_EQ(polygon->texEnvMode, unsigned(GL_MODULATE));
    EXPECT_EQ(polygon->minFilterIndex, 0);
    EXPECT_EQ(polygon->magFilterIndex, 0);
    EXPECT_STREQ(polygon->name, "");
    EXPECT_STREQ(polygon->textureFile, "None");
    EXPECT_EQ(polygon->texture, 0u);
    EXPECT_EQ(polygon->next, nullptr);
    EXPECT_EQ(polygon->image.width, 0);
    EXPECT_EQ(polygon->image.pixels, nullptr);
    EXPECT_EQ(polygon->image.palette, nullptr);
    EXPECT_EQ(polygon->image.fileData, nullptr);
    releasePolygon(polygon);
}

// A buffer left is counted here; the sanitizer and valgrind builds see one freed twice.
TEST(PolygonTest, ReleaseFreesEveryBufferOfThePicture) {
    const long liveBefore = liveBufferCount();
    Polygon* polygon = makePolygon();
    polygon->image.pixels = allocBuffer(16);
    polygon->image.palette = allocBuffer(768);
    polygon->image.fileData = allocBuffer(40);
    polygon->image.fileSize = 40;
    ASSERT_EQ(liveBufferCount(), liveBefore + 3);
    releasePolygon(polygon);
    EXPECT_EQ(liveBufferCount(), liveBefore);
    releasePolygon(nullptr);
}

TEST(SceneTest, ResetReleasesTheListAndRestoresTheStartValues) {
    const long liveBefore = liveBufferCount();
    polygonListHead = makePolygon();
    polygonListHead->next = makePolygon();
    polygonListHead->image.pixels = allocBuffer(16);
    polygonListHead->next->image.pixels = allocBuffer(16);
    currentPolygon = polygonListHead->next;
    polygonCounter = 9;
    orthographic = false;
    textureMapping = false;
    lighting = true;
    colorMaterial = true;
    resetScene();
    EXPECT_EQ(polygonListHead, nullptr);
    EXPECT_EQ(liveBufferCount(), liveBefore);
    EXPECT_EQ(currentPolygon, nullptr);
    EXPECT_EQ(polygonCounter, 1);
    EXPECT_TRUE(orthographic);
    EXPECT_TRUE(textureMapping);
    EXPECT_FALSE(lighting);
    EXPECT_FALSE(colorMaterial);
}

} // namespace
