// The Texture Map dialog and its file chooser, driven as a user drives them.
#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>

#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/texture/texture_objects/texture_scenario.h"

using headless::click;
using headless::queueStep;
using Lines = std::vector<std::string>;

namespace textures {
namespace {

class TextureDialogTest : public TextureScenario {};

void addPolygon() {
    click(control(idAdd));
}
void openDialog() {
    click(control(idModifyTexture));
}

TEST_F(TextureDialogTest, ModifyWithoutAPolygonSaysSoAndOpensNothing) {
    queueStep(openDialog);
    queueStep([] { EXPECT_EQ(headless::activeDialog(), nullptr); });
    runProgram();
    ASSERT_EQ(headless::messageBoxCalls().size(), 1u);
    const auto& box = headless::messageBoxCalls()[0];
    EXPECT_EQ(box.text, "Nothing to apply a texture to");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.type, UINT(MB_OK));
    EXPECT_EQ(headless::findWindow("Select Texture Map"), nullptr);
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(TextureDialogTest, OpensWithBothFiltersAtNearestAndNoDetails) {
    queueStep(addPolygon);
    queueStep(openDialog);
    queueStep([] {
        HWND dialog = headless::activeDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(headless::windowText(dialog), "Select Texture Map");
        EXPECT_EQ(headless::focusWindow(), dialogItem(IDOK));
        for (int id : {idMinFilter, idMagFilter}) {
            EXPECT_EQ(headless::items(dialogItem(id)), Lines({"GL_NEAREST", "GL_LINEAR"}));
            EXPECT_EQ(headless::itemData(dialogItem(id)),
                      std::vector<LPARAM>({GL_NEAREST, GL_LINEAR}));
            EXPECT_EQ(headless::selection(dialogItem(id)), 0);
        }
        EXPECT_TRUE(details().empty());
        click(dialogItem(IDCANCEL));
    });
    queueStep([] { EXPECT_EQ(headless::activeDialog(), nullptr); });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(TextureDialogTest, TemplateControlsAreTheRightKindsWithTheirTexts) {
    struct Expected {
        int id;
        const char* className;
        const char* text;
        DWORD style;
    };
    const Expected expected[] = {
        {IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP},
        {IDCANCEL, "Button", "Cancel", WS_TABSTOP},
        // A drop-down combo shows its selected item.
        {idMinFilter, "ComboBox", "GL_NEAREST", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP},
        {idMagFilter, "ComboBox", "GL_NEAREST", CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP},
        {idBrowse, "Button", "Browse", WS_TABSTOP},
        {idImageDetails, "ListBox", "",
         LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP},
    };
    queueStep(addPolygon);
    queueStep(openDialog);
    queueStep([&] {
        HWND dialog = headless::activeDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(headless::windowStyle(dialog) & WS_SYSMENU, 0u);
        for (const Expected& control : expected) {
            SCOPED_TRACE(control.id);
            HWND window = dialogItem(control.id);
            ASSERT_NE(window, nullptr);
            EXPECT_STRCASEEQ(headless::className(window).c_str(), control.className);
            EXPECT_EQ(headless::windowText(window), control.text);
            EXPECT_EQ(headless::windowStyle(window) & control.style, control.style);
            EXPECT_TRUE(headless::isVisible(window));
        }
        std::vector<std::string> labels;
        for (HWND child : headless::childrenOf(dialog))
            if (headless::controlId(child) == -1 || headless::controlId(child) == 0xFFFF)
                labels.push_back(headless::windowText(child));
        EXPECT_EQ(labels, Lines({"Min Filter", "Mag Filter", "Image details"}));
        click(dialogItem(IDCANCEL));
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(TextureDialogTest, BrowseShowsTheChooserWithItsSettings) {
    queueStep(addPolygon);
    queueStep(openDialog);
    queueStep([] {
        headless::queueFileCancel();
        click(dialogItem(idBrowse));
    });
    queueStep([] {
        ASSERT_EQ(headless::fileChooserCalls().size(), 1u);
        const auto& call = headless::fileChooserCalls()[0];
        const OPENFILENAMEA& record = call.record;
        EXPECT_EQ(record.lStructSize, DWORD(OPENFILENAME_SIZE_VERSION_400A));
        EXPECT_EQ(record.hwndOwner, headless::activeDialog());
        EXPECT_EQ(record.hInstance, instanceHandle);
        EXPECT_EQ(call.filter,
                  Lines({"Supported types (BMP,PCX,TGA,QFR)", "*.bmp;*.pcx;*.tga;*.qfr"}));
        EXPECT_EQ(record.lpstrCustomFilter, nullptr);
        EXPECT_EQ(record.nMaxCustFilter, 0u);
        EXPECT_EQ(record.nFilterIndex, 0u);
        EXPECT_EQ(record.nMaxFile, 259u);
        EXPECT_EQ(record.nMaxFileTitle, 259u);
        EXPECT_NE(record.lpstrFileTitle, nullptr);
        EXPECT_EQ(record.lpstrInitialDir, nullptr);
        EXPECT_EQ(call.title, "Select Texture Image");
        EXPECT_EQ(record.Flags, DWORD(0x21800));
        EXPECT_EQ(call.defaultExtension, ".qfr");
        EXPECT_EQ(record.lCustData, 0);
        EXPECT_EQ(record.lpfnHook, nullptr);
        EXPECT_EQ(record.lpTemplateName, nullptr);
        // Cancelling the chooser changes nothing and shows nothing.
        EXPECT_TRUE(details().empty());
        EXPECT_TRUE(headless::messageBoxCalls().empty());
        EXPECT_STREQ(currentPolygon->textureFile, "None");
        click(dialogItem(IDCANCEL));
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(TextureDialogTest, SidesThatAreNotPowersOfTwoDiscardThePicture) {
    const std::string wide = writePicture("wide.qfr", qfrFile(solidPicture(100, 64, {}), 24));
    const std::string tall = writePicture("tall.qfr", qfrFile(solidPicture(64, 100, {}), 24));
    const std::string dot = writePicture("dot.qfr", qfrFile(solidPicture(1, 1, {}), 24));
    HWND dialog = nullptr;
    queueStep(addPolygon);
    queueStep(openDialog);
    queueStep([&] {
        dialog = headless::activeDialog();
        browse(wide);
    });
    queueStep([&] {
        EXPECT_EQ(details(), Lines({"wide.qfr", "100 x 64 24 bit",
                                    "Image width is not a power of 2 - Invalid texture"}));
        EXPECT_STREQ(currentPolygon->textureFile, "None");
        EXPECT_EQ(currentPolygon->image.width, 0);
        EXPECT_EQ(currentPolygon->image.pixels, nullptr);
        browse(tall);
    });
    queueStep([&] {
        EXPECT_EQ(details(),
                  Lines({"wide.qfr", "100 x 64 24 bit",
                         "Image width is not a power of 2 - Invalid texture", "tall.qfr",
                         "64 x 100 24 bit", "Image width is not a power of 2 - Invalid texture"}));
        browse(dot);
    });
    queueStep([] {
        EXPECT_EQ(details().size(), 9u);
        EXPECT_EQ(details()[7], "1 x 1 24 bit");
        click(dialogItem(IDOK)); // nothing left to make a texture of
    });
    queueStep([] {
        EXPECT_EQ(currentPolygon->texture, 0u);
        EXPECT_EQ(headless::windowText(textureFileField), "None");
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
    ASSERT_EQ(headless::messageBoxCalls().size(), 3u);
    for (const auto& box : headless::messageBoxCalls()) {
        EXPECT_EQ(box.text, "Image dimensions are not powers of 2");
        EXPECT_EQ(box.caption, "Invalid Texture");
        EXPECT_EQ(box.type, UINT(MB_OK));
        EXPECT_EQ(box.owner, dialog);
    }
}

TEST_F(TextureDialogTest, ALoadFailureKeepsTheDialogOpenAndTheEarlierName) {
    const std::string broken = writePicture("broken.bmp", {'B', 'M', 1, 2, 3});
    const std::string good = writePicture("good.tga", tgaFile(primaries(), 24));
    queueStep(addPolygon);
    queueStep(openDialog);
    queueStep([=] { browse(good); });
    queueStep([=] { browse(broken); });
    queueStep([=] {
        HWND dialog = headless::activeDialog();
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(headless::messageBoxCalls().size(), 1u);
        EXPECT_EQ(headless::messageBoxCalls()[0].text, "Image Load Failed!");
        EXPECT_EQ(headless::messageBoxCalls()[0].caption, "Error");
        EXPECT_EQ(headless::messageBoxCalls()[0].type, UINT(MB_OK));
        EXPECT_EQ(headless::messageBoxCalls()[0].owner, dialog);
        EXPECT_EQ(details(), Lines({"good.tga", "2 x 2 24 bit", "broken.bmp"}));
        EXPECT_STREQ(currentPolygon->textureFile, "good.tga");
        browse(good); // the user may try again
    });
    queueStep([] {
        EXPECT_EQ(details(),
                  Lines({"good.tga", "2 x 2 24 bit", "broken.bmp", "good.tga", "2 x 2 24 bit"}));
        click(dialogItem(IDOK));
    });
    queueStep([] {
        EXPECT_NE(currentPolygon->texture, 0u);
        EXPECT_EQ(headless::windowText(textureFileField), "good.tga");
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(TextureDialogTest, ReopeningShowsThePictureAndTheFiltersLastChosen) {
    const std::string path = writePicture("grid.bmp", bmpFile(solidPicture(4, 2, {}), 24));
    queueStep(addPolygon);
    applyPicture(path, 0, 1);
    queueStep([] {
        EXPECT_EQ(currentPolygon->minFilterIndex, 0);
        EXPECT_EQ(currentPolygon->magFilterIndex, 1);
        // Unpack alignment is back at its default after the upload.
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, 4);
        GLint minFilter = 0, magFilter = 0;
        glBindTexture(GL_TEXTURE_2D, currentPolygon->texture);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
        EXPECT_EQ(minFilter, GL_NEAREST);
        EXPECT_EQ(magFilter, GL_LINEAR);
        openDialog();
    });
    queueStep([] {
        EXPECT_EQ(details(), Lines({"grid.bmp", "4 x 2 24 bit"}));
        EXPECT_EQ(headless::selection(dialogItem(idMinFilter)), 0);
        EXPECT_EQ(headless::selection(dialogItem(idMagFilter)), 1);
        headless::pickComboItem(dialogItem(idMinFilter), 1); // each the other way now
        headless::pickComboItem(dialogItem(idMagFilter), 0);
        click(dialogItem(IDOK));
    });
    queueStep(openDialog);
    queueStep([] {
        EXPECT_EQ(headless::selection(dialogItem(idMinFilter)), 1);
        EXPECT_EQ(headless::selection(dialogItem(idMagFilter)), 0);
        headless::closeWindow(headless::activeDialog());
    });
    queueStep([] { EXPECT_EQ(headless::activeDialog(), nullptr); });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(TextureDialogTest, CancelKeepsTheLoadedPictureWithoutMakingATexture) {
    const std::string path = writePicture("later.pcx", pcxFile(primaries()));
    queueStep(addPolygon);
    queueStep(openDialog);
    queueStep([=] { browse(path); });
    queueStep([] { click(dialogItem(IDCANCEL)); });
    queueStep([] {
        EXPECT_EQ(currentPolygon->texture, 0u);
        EXPECT_STREQ(currentPolygon->textureFile, "later.pcx");
        EXPECT_NE(currentPolygon->image.pixels, nullptr);
        EXPECT_EQ(headless::windowText(textureFileField), "None");
        // Remove acts only on a polygon with a texture: the picture stays.
        click(control(idRemoveTexture));
    });
    queueStep([] {
        EXPECT_STREQ(currentPolygon->textureFile, "later.pcx");
        EXPECT_NE(currentPolygon->image.pixels, nullptr);
        openDialog();
    });
    queueStep([] {
        EXPECT_EQ(details(), Lines({"later.pcx", "2 x 2 24 bit"}));
        click(dialogItem(IDOK));
    });
    queueStep([] {
        EXPECT_NE(currentPolygon->texture, 0u);
        EXPECT_EQ(headless::windowText(textureFileField), "later.pcx");
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

} // namespace
} // namespace textures
