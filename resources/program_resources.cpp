// The program's resources, found by number through the layer as compiled resources are.
#include "platform/resource_data.h"
#include "resources/pictures.h"
#include "resources/resource_ids.h"
#include "resources/texture_dialog_template.h"

namespace {

constexpr UINT popup = 0;

const MenuItemResource mainMenuItems[] = {
    {0, "&File", popup, 0},
    {1, "&New", idFileNew, 0},
    {1, "&Open", idFileOpen, 0},
    {1, "&Save", idFileSave, 0},
    {1, "Save &As", idFileSaveAs, 0},
    {1, nullptr, 0, 0},
    {1, "E&xit", idFileExit, 0},
    {0, "Polygon", popup, 0},
    {1, "Add\tIns", idAdd, 0},
    {1, "Remove\tDel", idRemove, 0},
    {1, nullptr, 0, 0},
    {1, "Duplicate", idDuplicate, 0},
    {1, "Rename\tF2", idRename, 0},
    {1, nullptr, 0, 0},
    {1, "Move Up\tPg Up", idMoveUp, 0},
    {1, "Move Down\tPg Dn", idMoveDown, 0},
    {0, "&Options", popup, 0},
    {1, "&Display Mode", popup, 0},
    {2, "Orthographic (&2D)\t2", idOrthographic, 0},
    {2, "Perspective (&3D)\t3", idPerspective, 0},
    {1, "Lighting", popup, 0},
    {2, "Enabled", idLightingOn, 0},
    {2, "Disabled", idLightingOff, 0},
    {2, nullptr, 0, 0},
    {2, "GL_COLOR_MATERIAL", idColorMaterial, 0},
    {1, "Texture Mapping", popup, 0},
    {2, "Enabled", idTextureMappingOn, 0},
    {2, "Disabled", idTextureMappingOff, 0},
    {0, "&Help", popup, 0},
    {1, "A&bout", idHelpAbout, 0},
};

const MenuResource menus[] = {{menuResource, mainMenuItems}};

// Plain keys only; none highlights the menu bar.
constexpr BYTE plainKey = FVIRTKEY | FNOINVERT;
const ACCEL mainAccelerators[] = {
    {plainKey, VK_INSERT, idAdd},   {plainKey, '2', idOrthographic},
    {plainKey, '3', idPerspective}, {plainKey, VK_NEXT, idMoveDown},
    {plainKey, VK_PRIOR, idMoveUp}, {plainKey, VK_DELETE, idRemove},
    {plainKey, VK_F2, idRename},
};

const AcceleratorResource accelerators[] = {{acceleratorResource, mainAccelerators}};

constexpr DWORD visible = WS_VISIBLE;

const DialogItemResource aboutItems[] = {
    {"BUTTON", "OK", IDOK, visible | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 120, 154, 50, 14},
    {"STATIC", MAKEINTRESOURCEA(aboutBannerResource), -1, visible | SS_BITMAP | SS_REALSIZEIMAGE,
     WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, 7, 7, 279, 54},
    {"STATIC", "A bench for OpenGL state, one square at a time", -1, visible | SS_CENTER, 0, 65, 62,
     159, 10},
    {"RICHEDIT", "", idVersionHistory,
     visible | ES_MULTILINE | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 0, 7, 72, 279, 73},
};

const DialogItemResource renameItems[] = {
    {"BUTTON", "OK", IDOK, visible | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 42, 72, 50, 14},
    {"BUTTON", "Cancel", IDCANCEL, visible | BS_PUSHBUTTON | WS_TABSTOP, 0, 96, 72, 50, 14},
    {"STATIC", "Old Name", -1, visible | SS_LEFT, 0, 12, 9, 54, 12},
    {"STATIC", "New Name", -1, visible | SS_LEFT, 0, 12, 39, 54, 12},
    {"EDIT", "", idOldName, visible | WS_DISABLED | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 0, 12,
     18, 162, 12},
    {"EDIT", "", idNewName, visible | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 0, 12, 48, 162, 12},
};

const DialogResource dialogs[] = {
    textureDialogTemplate,
    {aboutDialogResource, "About",
     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_NOFAILCREATE | DS_SETFONT,
     0, 0, 0, 293, 175, "MS Shell Dlg", 8, aboutItems},
    {renameDialogResource, "Rename polygon",
     WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT, 0, 0, 0, 186, 95,
     "MS Shell Dlg", 8, renameItems},
};

const StringResource strings[] = {
    {versionHistoryString,
     "Version History\n\nv0.94 (Beta)\n  Added support for GL_COLOR_MATERIAL and glTexEnv "
     "Parameters\n  Fixed 2D clipping\n  Minor Tweaks\n\nv0.92 (Alpha) - Initial release."},
};

const BitmapResource iconImages[] = {
    {0, 16, 16, iconPixels(16)},
    {0, 24, 24, iconPixels(24)},
    {0, 32, 32, iconPixels(32)},
    {0, 48, 48, iconPixels(48)},
};

const IconResource icons[] = {{iconResource, iconImages}};

const BitmapResource bitmaps[] = {
    {aboutBannerResource, bannerWidth, bannerHeight, bannerPixels()},
};

} // namespace

const ResourceTable programResources = {menus, accelerators, dialogs, strings, icons, bitmaps};
