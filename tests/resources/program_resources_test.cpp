// The program's resources as the layer hands them out.
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/shell.h"
#include "platform/resource_data.h"
#include "resources/resource_ids.h"
#include "tests/app/program_harness.h"

namespace {

// The pictures are drawn in code; a change to any pixel of them changes this number (FNV-1a).
uint32_t pictureHash(const BitmapResource& picture) {
    uint32_t hash = 2166136261u;
    for (int i = 0; i < picture.width * picture.height * 3; ++i)
        hash = (hash ^ picture.rgb[i]) * 16777619u;
    return hash;
}

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
    EXPECT_EQ(pictureHash(banner), 0x5cf96f9cu) << "the banner was drawn as released";
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
    const uint32_t released[] = {0x44c85e47u, 0x20396a07u, 0x9663c249u, 0x94cd1ed1u};
    for (size_t i = 0; i < icon.images.size(); ++i)
        EXPECT_EQ(pictureHash(icon.images[i]), released[i]) << icon.images[i].width;
    // One picture at four sizes: the corners and the centre agree.
    auto at = [](const BitmapResource& image, int x, int y) {
        const uint8_t* p = image.rgb + 3 * (y * image.width + x);
        return std::tuple(p[0], p[1], p[2]);
    };
    const BitmapResource& largest = icon.images.back();
    for (const BitmapResource& image : icon.images) {
        int last = image.width - 1;
        EXPECT_EQ(at(image, 0, 0), at(largest, 0, 0)) << image.width;
        EXPECT_EQ(at(image, last / 2 + 1, last / 2 + 1), at(largest, 24, 24)) << image.width;
        EXPECT_EQ(at(image, last, last), at(largest, 47, 47)) << image.width;
    }
}

// The resource tables walked whole against the numbers and texts the program is built with.
struct MenuEntry {
    int depth;
    const char* text; // nullptr: separator
    UINT id;
};

const MenuEntry expectedMenu[] = {
    {0, "&File", 0},         {1, "&New", 40015},
    {1, "&Open", 40016},     {1, "&Save", 40017},
    {1, "Save &As", 40018},  {1, nullptr, 0},
    {1, "E&xit", 40019},     {0, "Polygon", 0},
    {1, "Add\tIns", 3},      {1, "Remove\tDel", 7},
    {1, nullptr, 0},         {1, "Duplicate", 4},
    {1, "Rename\tF2", 29},   {1, nullptr, 0},
    {1, "Move Up\tPg Up", 5}, {1, "Move Down\tPg Dn", 6},
    {0, "&Options", 0},      {1, "&Display Mode", 0},
    {2, "Orthographic (&2D)\t2", 40027}, {2, "Perspective (&3D)\t3", 40028},
    {1, "Lighting", 0},      {2, "Enabled", 40060},
    {2, "Disabled", 40061},  {2, nullptr, 0},
    {2, "GL_COLOR_MATERIAL", 40062}, {1, "Texture Mapping", 0},
    {2, "Enabled", 40025},   {2, "Disabled", 40026},
    {0, "&Help", 0},         {1, "A&bout", 40023},
};

std::string textOf(const char* text) {
    return text ? text : "(separator)";
}

class MenuTest : public harness::ProgramTest {};

TEST_F(MenuTest, MenuAndAcceleratorsAreTheProgramsOwn) {
    ASSERT_EQ(programResources.menus.size(), 1u);
    EXPECT_EQ(programResources.menus[0].id, 109);
    const auto& items = programResources.menus[0].items;
    ASSERT_EQ(items.size(), std::size(expectedMenu));
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].depth, expectedMenu[i].depth) << i;
        EXPECT_EQ(textOf(items[i].text), textOf(expectedMenu[i].text)) << i;
        EXPECT_EQ(items[i].id, expectedMenu[i].id) << i;
        EXPECT_EQ(items[i].flags, 0u) << i;
    }
    // As the layer hands the menu to the main window.
    headless::queueStep([&] {
        for (const MenuEntry& entry : expectedMenu) {
            if (entry.id == 0)
                continue;
            EXPECT_EQ(headless::menuItemText(mainWindow, entry.id), entry.text) << entry.id;
            EXPECT_TRUE(headless::menuItemEnabled(mainWindow, entry.id)) << entry.id;
        }
    });
    harness::runProgram();

    const ACCEL expectedKeys[] = {
        {FVIRTKEY | FNOINVERT, VK_INSERT, 3},  {FVIRTKEY | FNOINVERT, '2', 40027},
        {FVIRTKEY | FNOINVERT, '3', 40028},    {FVIRTKEY | FNOINVERT, VK_NEXT, 6},
        {FVIRTKEY | FNOINVERT, VK_PRIOR, 5},   {FVIRTKEY | FNOINVERT, VK_DELETE, 7},
        {FVIRTKEY | FNOINVERT, VK_F2, 29},
    };
    ASSERT_EQ(programResources.accelerators.size(), 1u);
    EXPECT_EQ(programResources.accelerators[0].id, 114);
    const auto& keys = programResources.accelerators[0].entries;
    ASSERT_EQ(keys.size(), std::size(expectedKeys));
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].fVirt, expectedKeys[i].fVirt) << i;
        EXPECT_EQ(keys[i].key, expectedKeys[i].key) << i;
        EXPECT_EQ(keys[i].cmd, expectedKeys[i].cmd) << i;
    }
}

struct TemplateItem {
    const char* className;
    const char* text;
    int id;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
};

struct Template {
    WORD id;
    const char* caption;
    DWORD style;
    short cx, cy;
    std::vector<TemplateItem> items;
};

TEST(ProgramResourcesTest, DialogTemplatesAndStringsAreTheProgramsOwn) {
    const DWORD v = WS_VISIBLE;
    const Template expected[] = {
        {107, "Select Texture Map",
         WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT | DS_FIXEDSYS, 176, 175,
         {
             {"BUTTON", "OK", 1, v | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 6, 138, 78, 23},
             {"BUTTON", "Cancel", 2, v | BS_PUSHBUTTON | WS_TABSTOP, 0, 90, 138, 79, 23},
             {"COMBOBOX", "", 1031, v | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0, 43, 99, 124, 39},
             {"STATIC", "Min Filter", -1, v | SS_LEFT | WS_GROUP, 0, 7, 102, 34, 10},
             {"STATIC", "Mag Filter", -1, v | SS_LEFT | WS_GROUP, 0, 7, 118, 34, 10},
             {"COMBOBOX", "", 1032, v | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 0, 43, 115, 124, 35},
             {"BUTTON", "Image details", -1, v | BS_GROUPBOX, 0, 6, 6, 163, 61},
             {"BUTTON", "Browse", 1033, v | BS_PUSHBUTTON | WS_TABSTOP, 0, 12, 72, 151, 20},
             {"LISTBOX", "", 1002,
              v | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, 12, 18,
              151, 43},
         }},
        {110, "About",
         WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_NOFAILCREATE | DS_SETFONT,
         293, 175,
         {
             {"BUTTON", "OK", 1, v | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 120, 154, 50, 14},
             {"STATIC", MAKEINTRESOURCEA(111), -1, v | SS_BITMAP | SS_REALSIZEIMAGE,
              WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, 7, 7, 279, 54},
             {"STATIC", nullptr, -1, v | SS_CENTER, 0, 65, 62, 159, 10}, // its wording is ours
             {"RICHEDIT", "", 1036, v | ES_MULTILINE | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 0,
              7, 72, 279, 73},
         }},
        {108, "Rename polygon", WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
         186, 95,
         {
             {"BUTTON", "OK", 1, v | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 42, 72, 50, 14},
             {"BUTTON", "Cancel", 2, v | BS_PUSHBUTTON | WS_TABSTOP, 0, 96, 72, 50, 14},
             {"STATIC", "Old Name", -1, v | SS_LEFT, 0, 12, 9, 54, 12},
             {"STATIC", "New Name", -1, v | SS_LEFT, 0, 12, 39, 54, 12},
             {"EDIT", "", 1013, v | WS_DISABLED | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 0, 12,
              18, 162, 12},
             {"EDIT", "", 1032, v | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 0, 12, 48, 162, 12},
         }},
    };
    ASSERT_EQ(programResources.dialogs.size(), std::size(expected));
    for (const Template& want : expected) {
        const DialogResource* found = nullptr;
        for (const DialogResource& dialog : programResources.dialogs)
            if (dialog.id == want.id)
                found = &dialog;
        ASSERT_NE(found, nullptr) << want.id;
        EXPECT_STREQ(found->caption, want.caption);
        EXPECT_EQ(found->style, want.style) << want.id;
        EXPECT_EQ(found->exStyle, 0u) << want.id;
        EXPECT_EQ(found->x, 0) << want.id;
        EXPECT_EQ(found->y, 0) << want.id;
        EXPECT_EQ(found->cx, want.cx) << want.id;
        EXPECT_EQ(found->cy, want.cy) << want.id;
        EXPECT_STREQ(found->fontName, "MS Shell Dlg");
        EXPECT_EQ(found->pointSize, 8);
        ASSERT_EQ(found->items.size(), want.items.size()) << want.id;
        for (size_t i = 0; i < want.items.size(); ++i) {
            const DialogItemResource& item = found->items[i];
            const TemplateItem& w = want.items[i];
            EXPECT_STREQ(item.className, w.className) << want.id << " item " << i;
            if (w.text && IS_INTRESOURCE(w.text)) {
                EXPECT_EQ(item.text, w.text) << want.id << " item " << i;
            } else if (w.text) {
                EXPECT_STREQ(item.text, w.text) << want.id << " item " << i;
            }
            EXPECT_EQ(item.id, w.id) << want.id << " item " << i;
            EXPECT_EQ(item.style, w.style) << want.id << " item " << i;
            EXPECT_EQ(item.exStyle, w.exStyle) << want.id << " item " << i;
            EXPECT_EQ(std::tuple(item.x, item.y, item.cx, item.cy), std::tuple(w.x, w.y, w.cx, w.cy))
                << want.id << " item " << i;
        }
    }
    ASSERT_EQ(programResources.strings.size(), 1u);
    EXPECT_EQ(programResources.strings[0].id, 112u);
    EXPECT_STREQ(programResources.strings[0].text,
                 "Version History\n\nv0.94 (Beta)\n  Added support for GL_COLOR_MATERIAL and glTexEnv "
                 "Parameters\n  Fixed 2D clipping\n  Minor Tweaks\n\nv0.92 (Alpha) - Initial release.");
    EXPECT_EQ(programResources.icons[0].id, 101);
    EXPECT_EQ(programResources.bitmaps[0].id, 111);
}

} // namespace
