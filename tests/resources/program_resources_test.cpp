// The program's resources as the layer hands them out.
#include <set>
#include <tuple>

#include "app/shell.h"
#include "platform/resource_data.h"
#include "resources/resource_ids.h"
#include "tests/app/program_harness.h"

namespace {

TEST(ProgramResourcesTest, BannerIsA256ColourPictureOfItsSize) {
    ASSERT_EQ(programResources.bitmaps.size(), 1u);
    const BitmapResource& banner = programResources.bitmaps[0];
    EXPECT_EQ(banner.id, aboutBannerResource);
    ASSERT_EQ(banner.width, 413);
    ASSERT_EQ(banner.height, 81);
    ASSERT_NE(banner.rgb, nullptr);
    std::set<std::tuple<int, int, int>> colours;
    for (int i = 0; i < banner.width * banner.height; ++i)
        colours.insert({banner.rgb[3 * i], banner.rgb[3 * i + 1], banner.rgb[3 * i + 2]});
    EXPECT_LE(colours.size(), 256u);
    EXPECT_GT(colours.size(), 16u); // a picture, not a flat fill
}

TEST(ProgramResourcesTest, IconIsAGroupOfFourSquareImages) {
    ASSERT_EQ(programResources.icons.size(), 1u);
    const IconResource& icon = programResources.icons[0];
    EXPECT_EQ(icon.id, iconResource);
    ASSERT_EQ(icon.images.size(), 4u);
    std::set<int> sizes;
    for (const BitmapResource& image : icon.images) {
        EXPECT_EQ(image.width, image.height);
        EXPECT_NE(image.rgb, nullptr);
        sizes.insert(image.width);
    }
    EXPECT_EQ(sizes.size(), 4u);
}

class MenuTest : public harness::ProgramTest {};

TEST_F(MenuTest, ItemsCarryTheirTextsAndKeyHints) {
    const std::pair<int, const char*> items[] = {
        {idFileNew, "&New"},
        {idFileOpen, "&Open"},
        {idFileSave, "&Save"},
        {idFileSaveAs, "Save &As"},
        {idFileExit, "E&xit"},
        {idAdd, "Add\tIns"},
        {idRemove, "Remove\tDel"},
        {idDuplicate, "Duplicate"},
        {idRename, "Rename\tF2"},
        {idMoveUp, "Move Up\tPg Up"},
        {idMoveDown, "Move Down\tPg Dn"},
        {idOrthographic, "Orthographic (&2D)\t2"},
        {idPerspective, "Perspective (&3D)\t3"},
        {idLightingOn, "Enabled"},
        {idLightingOff, "Disabled"},
        {idColorMaterial, "GL_COLOR_MATERIAL"},
        {idTextureMappingOn, "Enabled"},
        {idTextureMappingOff, "Disabled"},
        {idHelpAbout, "A&bout"},
    };
    headless::queueStep([&] {
        for (const auto& [id, text] : items) {
            EXPECT_EQ(headless::menuItemText(mainWindow, id), text) << id;
            EXPECT_TRUE(headless::menuItemEnabled(mainWindow, id)) << id;
        }
    });
    harness::runProgram();
}

} // namespace
