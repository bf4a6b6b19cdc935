// The layer tests' own module: an accelerator table, a menu, dialog templates, strings, a bitmap.
#pragma once

#include "platform/resource_data.h"

HINSTANCE testModule();

// Resource numbers
enum : WORD {
    testAccelerators = 1, // Insert -> 3, '2' -> 40027, Page Up -> 5, Page Down -> 6
    testMenu = 2,
    renameDialog = 3, // OK, Cancel, two labels, disabled edit 1013, edit 1032
    aboutDialog = 4,  // DS_NOFAILCREATE: OK, a bitmap, RICHEDIT 1036
    strictDialog = 5, // like aboutDialog without DS_NOFAILCREATE
    bannerBitmap = 6, // 413 x 81
    historyString = 7,
};
