// The desktop backend's pieces that need no screen: key codes, the file chooser's filter and
// answer, the message box's buttons, the icon encoder.
#include <gtest/gtest.h>

#include <FL/Enumerations.H>
#include <FL/Fl_PNG_Image.H>

#include <string>
#include <vector>

#include "platform/fltk/fltk_file_chooser.h"
#include "platform/fltk/fltk_keys.h"
#include "platform/fltk/fltk_message_box.h"
#include "linux/png_encoder.h"

namespace {

TEST(FltkKeys, NamedKeysBecomeTheirVirtualKeys) {
    EXPECT_EQ(virtualKeyOf('a', false), UINT('A'));
    EXPECT_EQ(virtualKeyOf('z', false), UINT('Z'));
    EXPECT_EQ(virtualKeyOf('2', false), UINT('2'));
    EXPECT_EQ(virtualKeyOf(FL_Insert, false), UINT(VK_INSERT));
    EXPECT_EQ(virtualKeyOf(FL_Delete, false), UINT(VK_DELETE));
    EXPECT_EQ(virtualKeyOf(FL_Page_Up, false), UINT(VK_PRIOR));
    EXPECT_EQ(virtualKeyOf(FL_Page_Down, false), UINT(VK_NEXT));
    EXPECT_EQ(virtualKeyOf(FL_F + 2, false), UINT(VK_F2));
    EXPECT_EQ(virtualKeyOf(FL_Escape, false), UINT(VK_ESCAPE));
    EXPECT_EQ(virtualKeyOf(FL_KP_Enter, false), UINT(VK_RETURN));
    EXPECT_EQ(virtualKeyOf(FL_Shift_R, false), UINT(VK_SHIFT));
    EXPECT_EQ(virtualKeyOf('-', false), 0xBDu);
}

TEST(FltkKeys, KeypadDigitsAreNeverTheMainRowDigits) {
    EXPECT_EQ(virtualKeyOf(FL_KP + '2', true), UINT(VK_NUMPAD2));
    EXPECT_EQ(virtualKeyOf(FL_KP + '3', true), UINT(VK_NUMPAD3));
    // Without Num Lock they are the keys printed below the digits.
    EXPECT_EQ(virtualKeyOf(FL_KP + '3', false), UINT(VK_NEXT));
    EXPECT_EQ(virtualKeyOf(FL_KP + '9', false), UINT(VK_PRIOR));
    EXPECT_EQ(virtualKeyOf(FL_KP + '0', false), UINT(VK_INSERT));
    EXPECT_EQ(virtualKeyOf(FL_KP + '.', false), UINT(VK_DELETE));
}

TEST(FltkKeys, CharactersTheLayerWouldMakeDifferentlyGoAsThemselves) {
    EXPECT_FALSE(feedsAsCharacter('a', 'A', "a", false));
    EXPECT_FALSE(feedsAsCharacter('a', 'A', "A", true));
    EXPECT_TRUE(feedsAsCharacter('a', 'A', "A", false));  // Caps Lock
    EXPECT_FALSE(feedsAsCharacter('3', '3', "3", false)); // stays a key: an accelerator
    EXPECT_TRUE(feedsAsCharacter('2', '2', "@", true));   // whatever the layout's shifted 2 is
    EXPECT_FALSE(feedsAsCharacter(FL_KP + '3', VK_NUMPAD3, "3", false));
    EXPECT_TRUE(feedsAsCharacter('-', 0xBD, "-", false));
    EXPECT_FALSE(feedsAsCharacter(FL_F + 2, VK_F2, "", false));
    EXPECT_FALSE(feedsAsCharacter(FL_BackSpace, VK_BACK, "\b", false));
}

TEST(FltkFileChooser, FiltersKeepTheirTextsAndMatchNamesInEitherCase) {
    const char program[] = "Supported types (BMP,PCX,TGA,QFR)\0*.bmp;*.pcx;*.tga;*.qfr\0";
    const std::vector<ChooserFilter> filters = chooserFiltersOf(program);
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_EQ(filters[0].text, "Supported types (BMP,PCX,TGA,QFR)");
    EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.bmp", "*.pcx", "*.tga", "*.qfr"}));
    for (const char* name : {"wall.bmp", "WALL.TGA", "a.b.QfR"})
        EXPECT_TRUE(filterMatches(filters[0], name)) << name;
    for (const char* name : {"wall.bmp.txt", "wall.bmpx", "wall", ".bmp"})
        EXPECT_FALSE(filterMatches(filters[0], name)) << name;
    // FLTK's own chooser takes "text (pattern)" and reads the pattern from the first '('.
    EXPECT_EQ(fltkFilterEntryOf(filters[0]),
              "Supported types [BMP,PCX,TGA,QFR] "
              "({*.[bB][mM][pP],*.[pP][cC][xX],*.[tT][gG][aA],*.[qQ][fF][rR]})");
    EXPECT_EQ(fltkFilterEntryOf({"Odd", {"*.a", "b,c"}}), "Odd ({*.[aA],[bB]\\,[cC]})");

    const char two[] = "Pictures\0*.bmp\0Any\0\0";
    const std::vector<ChooserFilter> both = chooserFiltersOf(two);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[1].text, "Any");
    EXPECT_TRUE(filterMatches(both[1], "README")); // no pattern: every file
    EXPECT_TRUE(chooserFiltersOf(nullptr).empty());
}

TEST(FltkMessageBox, ButtonsEscapeAndDefaultFollowTheType) {
    EXPECT_EQ(messageBoxButtons(MB_OK), std::vector<int>{IDOK});
    EXPECT_EQ(messageBoxButtons(MB_OKCANCEL | MB_ICONWARNING), (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(messageBoxButtons(MB_YESNOCANCEL), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(messageBoxButtons(MB_ABORTRETRYIGNORE),
              (std::vector<int>{IDABORT, IDRETRY, IDIGNORE}));
    EXPECT_EQ(messageBoxEscapeAnswer(MB_OK), IDOK); // a box with only OK closes with it
    EXPECT_EQ(messageBoxEscapeAnswer(MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(messageBoxEscapeAnswer(MB_YESNO), 0); // only its buttons answer
    EXPECT_EQ(messageBoxEscapeAnswer(MB_ABORTRETRYIGNORE), 0);
    EXPECT_EQ(messageBoxDefaultButton(MB_OKCANCEL), 0);
    EXPECT_EQ(messageBoxDefaultButton(MB_OKCANCEL | MB_DEFBUTTON2), 1);
    EXPECT_EQ(messageBoxDefaultButton(MB_YESNOCANCEL | MB_DEFBUTTON3), 2);
    EXPECT_EQ(messageBoxDefaultButton(MB_OK | MB_DEFBUTTON3), 0); // no third button: the first
    EXPECT_STREQ(messageBoxButtonText(IDCANCEL), "Cancel");
}

TEST(PngEncoder, PictureDecodesBackPixelForPixel) {
    const int width = 5, height = 3; // odd row length on purpose
    std::vector<uint8_t> rgb(width * height * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = uint8_t(i * 37 + 11);
    const std::vector<uint8_t> png = encodePng(rgb.data(), width, height);
    ASSERT_FALSE(png.empty());
    Fl_PNG_Image decoded("icon", png.data(), int(png.size()));
    ASSERT_EQ(decoded.w(), width);
    ASSERT_EQ(decoded.h(), height);
    ASSERT_EQ(decoded.d(), 3);
    const auto* pixels = reinterpret_cast<const uint8_t*>(decoded.data()[0]);
    EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + rgb.size()), rgb);
}

TEST(PngEncoder, NoPictureGivesNoFile) {
    const uint8_t pixel[3] = {1, 2, 3};
    EXPECT_TRUE(encodePng(nullptr, 1, 1).empty());
    EXPECT_TRUE(encodePng(pixel, 0, 1).empty());
    EXPECT_TRUE(encodePng(pixel, 1, -1).empty());
}

} // namespace
