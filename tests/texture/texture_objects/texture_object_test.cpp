// The power-of-two rule and the texture file name field's limit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "scene/polygon.h"
#include "texture/texture_dialog.h"
#include "texture/texture_object.h"

using scene::Polygon;

namespace {

TEST(IsPowerOfTwo, OnlyTwoAndItsPowersPass) {
    for (int32_t n : {2, 4, 8, 64, 256, 16384, 1 << 30})
        EXPECT_TRUE(isPowerOfTwo(n)) << n;
    for (int32_t n : {1, 0, 3, 6, 100, 384, 16383, -4, -2, INT32_MIN, INT32_MAX})
        EXPECT_FALSE(isPowerOfTwo(n)) << n;
}

TEST(TextureFileName, ALongNameIsCutToTheFieldAndTheRecordAroundItStaysIntact) {
    Polygon polygon{};
    const std::string longest(259, 'n'); // the most the file chooser hands back
    setTextureFileName(polygon.textureFile, longest.c_str());
    EXPECT_EQ(std::string(polygon.textureFile), longest.substr(0, 255));
    // The fields after the name are untouched.
    EXPECT_EQ(polygon.texture, 0u);
    EXPECT_EQ(polygon.next, nullptr);

    setTextureFileName(polygon.textureFile, std::string(256, 'n').c_str()); // one byte too many
    EXPECT_EQ(std::string(polygon.textureFile), longest.substr(0, 255));
    setTextureFileName(polygon.textureFile, "short.bmp");
    EXPECT_STREQ(polygon.textureFile, "short.bmp");
}

TEST(TextureFileName, ACutNeverSplitsACharacter) {
    Polygon polygon{};
    // 254 single bytes, then a two-byte character across the limit.
    const std::string name = std::string(254, 'a') + "\xC3\xA9" + ".bmp";
    setTextureFileName(polygon.textureFile, name.c_str());
    EXPECT_EQ(std::string(polygon.textureFile), std::string(254, 'a'));
    setTextureFileName(polygon.textureFile, std::string(300, '\x80').c_str()); // no first byte
    EXPECT_EQ(std::string(polygon.textureFile), "");
}

} // namespace
