#include "texture/texture_commands.h"

#include "platform/winapi.h"

#include <cstring>

#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "texture/texture_dialog.h"
#include "texture/texture_object.h"

void modifyTexture() {
    if (!currentPolygon) {
        MessageBoxA(mainWindow, "Nothing to apply a texture to", "Error", MB_OK);
        return;
    }
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(textureDialogResource), mainWindow,
                    textureDialogProc, 0);
}

void removeTexture() {
    // A picture loaded without a texture made from it stays, with its name.
    if (!currentPolygon || currentPolygon->texture == 0)
        return;
    scene::Polygon& polygon = *currentPolygon;
    deleteTexture(polygon.texture);
    std::strcpy(polygon.textureFile, "None");
    reset(polygon.image);
    SendMessageA(textureFileField, WM_SETTEXT, 0, LPARAM("None"));
}
