#include "app/main_window.h"

#include "app/about_dialog.h"
#include "app/shell.h"
#include "panel/panel_sync.h"
#include "resources/resource_ids.h"
#include "scene/polygon_list.h"
#include "scene/scene.h"
#include "texture/texture_commands.h"

namespace {

// setRadioOption: switches one display option of a radio pair and moves its menu mark.
void setRadioOption(HWND window, bool& option, bool value, int first, int last, int chosen) {
    option = value;
    CheckMenuRadioItem(GetMenu(window), first, last, chosen, MF_BYCOMMAND);
}

// toggleColorMaterial: inverts colour material; the check mark follows it.
void toggleColorMaterial(HWND window) {
    colorMaterial = !colorMaterial;
    CheckMenuItem(GetMenu(window), idColorMaterial,
                  MF_BYCOMMAND | (colorMaterial ? MF_CHECKED : MF_UNCHECKED));
}

// showNotImplemented: the File commands that do nothing yet say so.
void showNotImplemented(HWND window) {
    MessageBoxA(window, "Not implemented yet", "Sorry", MB_OK);
}

// runAboutDialog: the About box, modal over the main window.
void runAboutDialog(HWND window) {
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(aboutDialogResource), window, aboutDialogProc,
                    0);
}

// onCommandById: the commands that act whatever the notification code. False if id is none.
bool onCommandById(HWND window, int id) {
    switch (id) {
    case idAdd: addPolygon(); return true;
    case idMoveUp: movePolygonUp(); return true;
    case idMoveDown: movePolygonDown(); return true;
    case idRemove: removePolygon(); return true;
    case idRename: renamePolygon(); return true;
    case idFileOpen:
    case idFileSave:
    case idFileSaveAs: showNotImplemented(window); return true;
    case idFileExit: PostQuitMessage(0); return true; // the window is not destroyed first
    case idHelpAbout: runAboutDialog(window); return true;
    case idTextureMappingOn:
        setRadioOption(window, textureMapping, true, idTextureMappingOn, idTextureMappingOff,
                       idTextureMappingOn);
        return true;
    case idTextureMappingOff:
        setRadioOption(window, textureMapping, false, idTextureMappingOn, idTextureMappingOff,
                       idTextureMappingOff);
        return true;
    case idOrthographic:
        setRadioOption(window, orthographic, true, idOrthographic, idPerspective, idOrthographic);
        return true;
    case idPerspective:
        setRadioOption(window, orthographic, false, idOrthographic, idPerspective, idPerspective);
        return true;
    case idLightingOn:
        setRadioOption(window, lighting, true, idLightingOn, idLightingOff, idLightingOn);
        return true;
    case idLightingOff:
        setRadioOption(window, lighting, false, idLightingOn, idLightingOff, idLightingOff);
        return true;
    case idColorMaterial: toggleColorMaterial(window); return true;
    }
    return false;
}

// onClick: button clicks and menu picks (notification 0) of the remaining ids.
bool onClick(int id) {
    switch (id) {
    case idDuplicate: duplicatePolygon(); return true;
    case idRemoveAll:
    case idFileNew: removeAllPolygons(); return true;
    case idModifyTexture: modifyTexture(); return true;
    case idBlendCheckBox:
    case idAlphaTestCheckBox: return onPanelCommand(id, BN_CLICKED);
    case idRemoveTexture: removeTexture(); return true;
    }
    return false;
}

// onSelectionChange: list and combo selections; ignored while no polygon exists.
bool onSelectionChange(int id) {
    switch (id) {
    case idPolyList:
        if (currentPolygon)
            selectPolygon();
        return true;
    case idBlendSrcCombo:
    case idBlendDstCombo:
    case idAlphaFuncCombo:
    case idTexEnvCombo:
        if (currentPolygon)
            onPanelCommand(id, CBN_SELCHANGE);
        return true;
    }
    return false;
}

// onCommand: routes by id first, then by notification code and id. False: not handled.
bool onCommand(HWND window, int id, int code) {
    if (onCommandById(window, id))
        return true;
    switch (code) {
    case BN_CLICKED: return onClick(id);
    case CBN_SELCHANGE: return onSelectionChange(id); // LBN_SELCHANGE has the same code
    case EN_SETFOCUS: return onPanelCommand(id, code);
    }
    return false;
}

} // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_COMMAND:
        if (onCommand(window, LOWORD(wParam), HIWORD(wParam)))
            return 0;
        break;
    case WM_HSCROLL:
        if (onPanelScroll(wParam, lParam))
            return 0;
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
