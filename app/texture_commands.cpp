#include "app/texture_commands.h"

#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>
#include <cstring>

#include "app/shell.h"
#include "panel/panel.h"
#include "scene/scene.h"

void modifyTexture() {
    if (!currentPolygon) {
        MessageBoxA(mainWindow, "Nothing to apply a texture to", "Error", MB_OK);
        return;
    }
    // The Texture Map dialog (template 107) arrives with the texture dialog work; until then
    // "Modify" on a polygon opens nothing.
}

void removeTexture() {
    if (!currentPolygon || currentPolygon->texture == 0) return;
    Polygon& polygon = *currentPolygon;
    GLuint texture = polygon.texture;
    glDeleteTextures(1, &texture);
    std::strcpy(polygon.textureFile, "None");
    polygon.texture = 0;
    reset(polygon.image);
    SendMessageA(textureFileField, WM_SETTEXT, 0, LPARAM("None"));
}
