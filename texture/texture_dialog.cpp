#include "texture/texture_dialog.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstring>

#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "texture/texture_object.h"

namespace {

struct FilterChoice {
    const char* text;
    GLint filter;
};

// Neither filter uses mipmaps, so the single level uploaded is a complete texture.
const FilterChoice filterChoices[] = {{"GL_NEAREST", GL_NEAREST}, {"GL_LINEAR", GL_LINEAR}};

HWND item(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

void addDetail(HWND dialog, const char* line) {
    SendDlgItemMessageA(dialog, idImageDetails, LB_ADDSTRING, 0, LPARAM(line));
}

void addSizeDetail(HWND dialog, const Image& image) {
    char line[64];
    std::snprintf(line, sizeof line, "%d x %d %d bit", int(image.width), int(image.height),
                  int(image.bitsPerPixel));
    addDetail(dialog, line);
}

void fillFilterList(HWND list) {
    for (const FilterChoice& choice : filterChoices) {
        LRESULT index = SendMessageA(list, CB_ADDSTRING, 0, LPARAM(choice.text));
        SendMessageA(list, CB_SETITEMDATA, WPARAM(index), LPARAM(choice.filter));
    }
    SendMessageA(list, CB_SETCURSEL, 0, 0);
}

// The list's selection, and through `filter` its item data: -1 for both without one, which
// GL then refuses, keeping that filter at its default.
int selectedFilter(HWND list, GLint& filter) {
    int index = int(SendMessageA(list, CB_GETCURSEL, 0, 0));
    filter = GLint(SendMessageA(list, CB_GETITEMDATA, WPARAM(index), 0));
    return index;
}

// onInitDialog: both filter lists; for a polygon with a picture, its name, size and filters.
INT_PTR onInitDialog(HWND dialog) {
    fillFilterList(item(dialog, idMinFilter));
    fillFilterList(item(dialog, idMagFilter));
    const scene::Polygon& polygon = *currentPolygon;
    if (polygon.image.pixels) {
        addDetail(dialog, polygon.textureFile);
        addSizeDetail(dialog, polygon.image);
        SendDlgItemMessageA(dialog, idMinFilter, CB_SETCURSEL, WPARAM(polygon.minFilterIndex), 0);
        SendDlgItemMessageA(dialog, idMagFilter, CB_SETCURSEL, WPARAM(polygon.magFilterIndex), 0);
    }
    return TRUE; // the focus goes to OK, the first tab stop
}

// onOk: stores the filter choices and makes the texture from the picture loaded, if any.
void onOk(HWND dialog) {
    scene::Polygon& polygon = *currentPolygon;
    GLint minFilter = 0;
    GLint magFilter = 0;
    polygon.minFilterIndex = selectedFilter(item(dialog, idMinFilter), minFilter);
    polygon.magFilterIndex = selectedFilter(item(dialog, idMagFilter), magFilter);
    // An unsupported depth leaves an empty texture; the polygon is then drawn untextured.
    if (polygon.image.pixels)
        createTexture(polygon.image, minFilter, magFilter);
    SendMessageA(textureFileField, WM_SETTEXT, 0, LPARAM(polygon.textureFile));
    EndDialog(dialog, 0);
}

// onBrowse: loads the chosen picture into the polygon at once; only OK makes a texture of it.
void onBrowse(HWND dialog) {
    char path[fileChooserBufferSize] = "";
    char name[fileChooserBufferSize] = "";
    if (!chooseTextureFile(dialog, "Select Texture Image", path, name))
        return;
    addDetail(dialog, name);

    scene::Polygon& polygon = *currentPolygon;
    if (load(polygon.image, path) != ImageOk) {
        MessageBoxA(dialog, "Image Load Failed!", "Error", MB_OK);
        return;
    }
    setTextureFileName(polygon.textureFile, name);
    addSizeDetail(dialog, polygon.image);
    if (isPowerOfTwo(polygon.image.width) && isPowerOfTwo(polygon.image.height))
        return;

    MessageBoxA(dialog, "Image dimensions are not powers of 2", "Invalid Texture", MB_OK);
    addDetail(dialog, "Image width is not a power of 2 - Invalid texture");
    reset(polygon.image);
    std::strcpy(polygon.textureFile, "None");
}

} // namespace

INT_PTR CALLBACK textureDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog);
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    case WM_COMMAND:
        // Told apart by the control id alone: the filter and details lists are left to notify.
        switch (LOWORD(wParam)) {
        case IDOK: onOk(dialog); return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE; // what Browse loaded stays
        case idBrowse: onBrowse(dialog); return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

BOOL chooseTextureFile(HWND owner, const char* title, char* pathBuffer, char* nameBuffer) {
    static const char filter[] = "Supported types (BMP,PCX,TGA,QFR)\0*.bmp;*.pcx;*.tga;*.qfr\0";
    OPENFILENAMEA chooser = {};
    chooser.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    chooser.hwndOwner = owner;
    chooser.hInstance = instanceHandle;
    chooser.lpstrFilter = filter; // the literal's own terminator makes the closing pair
    chooser.lpstrFile = pathBuffer;
    chooser.nMaxFile = fileChooserBufferSize - 1;
    chooser.lpstrFileTitle = nameBuffer;
    chooser.nMaxFileTitle = fileChooserBufferSize - 1;
    chooser.lpstrTitle = title;
    chooser.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NONETWORKBUTTON;
    chooser.lpstrDefExt = ".qfr";
    return GetOpenFileNameA(&chooser);
}

void setTextureFileName(char (&textureFile)[256], const char* name) {
    size_t length = std::strlen(name);
    if (length >= sizeof textureFile) {
        length = sizeof textureFile - 1;
        // Step back over the continuation bytes of a character the cut would split.
        while (length > 0 && (static_cast<unsigned char>(name[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(textureFile, name, length);
    textureFile[length] = '\0';
}
