// The header's records and macros must match the real platform bit for bit: the program packs
// and unpacks message parameters with them and fills records by their documented sizes.
#include "platform/resource_data.h"
#include "platform/winapi.h"

#include <gtest/gtest.h>

TEST(WinapiValues, RecordLayouts) {
    EXPECT_EQ(sizeof(PIXELFORMATDESCRIPTOR), 40u);
    EXPECT_EQ(offsetof(PIXELFORMATDESCRIPTOR, cDepthBits), 23u);
    EXPECT_EQ(offsetof(PIXELFORMATDESCRIPTOR, dwLayerMask), 28u);
    EXPECT_EQ(offsetof(ACCEL, key), 2u);
    EXPECT_EQ(offsetof(ACCEL, cmd), 4u);
    EXPECT_EQ(OPENFILENAME_SIZE_VERSION_400A, offsetof(OPENFILENAMEA, pvReserved));
}

TEST(WinapiValues, ParameterPackingKeepsSignsAndHalves) {
    LPARAM packed = MAKELPARAM(-3, -200);
    EXPECT_EQ(GET_X_LPARAM(packed), -3);
    EXPECT_EQ(GET_Y_LPARAM(packed), -200);
    EXPECT_EQ(LOWORD(packed), 0xFFFD);
    EXPECT_EQ(HIWORD(MAKEWPARAM(7, EN_SETFOCUS)), EN_SETFOCUS);
    EXPECT_EQ(MAKELONG(1, 255), 0x00FF0001);
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x00563412u);
    EXPECT_TRUE(IS_INTRESOURCE(MAKEINTRESOURCEA(109)));
    EXPECT_FALSE(IS_INTRESOURCE("TestBedWindow"));
}

TEST(WinapiValues, ConstantsUsedByTheProgram) {
    EXPECT_EQ(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER, 0x25);
    EXPECT_EQ(OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NONETWORKBUTTON, 0x21800);
    EXPECT_EQ(TBM_SETRANGE, 1030);
    EXPECT_EQ(TBM_GETPOS, 0x400);
    EXPECT_EQ(EN_SETFOCUS, 256);
    EXPECT_EQ(GWLP_WNDPROC, -4);
    EXPECT_EQ(CB_ERR, -1);
    EXPECT_EQ(DEFAULT_GUI_FONT, 17);
    EXPECT_EQ(COLOR_BTNFACE, 15);
    EXPECT_EQ(DS_SHELLFONT, 0x48);
}

TEST(WinapiValues, ModuleInstancePerTable) {
    static const ResourceTable first{};
    static const ResourceTable second{};
    EXPECT_EQ(moduleInstance(first), moduleInstance(first));
    EXPECT_NE(moduleInstance(first), moduleInstance(second));
    EXPECT_NE(moduleInstance(first), nullptr);
}
