// Numbers of the program's resources, command ids and control ids.
// A menu item, its accelerator key and its button share one command id.
#pragma once

enum ResourceNumber : int {
    iconResource = 101,
    textureDialogResource = 107,
    renameDialogResource = 108,
    menuResource = 109,
    aboutDialogResource = 110,
    aboutBannerResource = 111,
    versionHistoryString = 112,
    acceleratorResource = 114,
};

enum CommandId : int {
    // panel controls and buttons
    idPolyList = 2,
    idAdd = 3,
    idDuplicate = 4,
    idMoveUp = 5,
    idMoveDown = 6,
    idRemove = 7,
    idRemoveAll = 8,
    idRedField = 15,
    idGreenField = 16,
    idBlueField = 17,
    idAlphaField = 19,
    idSizeField = 20,
    idTextureFileField = 21,
    idModifyTexture = 22,
    idBlendCheckBox = 23,
    idBlendSrcCombo = 24,
    idBlendDstCombo = 25,
    idAlphaTestCheckBox = 26,
    idAlphaFuncCombo = 27,
    idAlphaRefField = 28,
    idRename = 29,
    idRemoveTexture = 30,
    idTexEnvCombo = 31,

    // menu items
    idFileNew = 40015,
    idFileOpen = 40016,
    idFileSave = 40017,
    idFileSaveAs = 40018,
    idFileExit = 40019,
    idHelpAbout = 40023,
    idTextureMappingOn = 40025,
    idTextureMappingOff = 40026,
    idOrthographic = 40027,
    idPerspective = 40028,
    idLightingOn = 40060,
    idLightingOff = 40061,
    idColorMaterial = 40062,

    // dialog controls
    idOldName = 1013,
    idNewName = 1032,
    idVersionHistory = 1036,
    idImageDetails = 1002, // Texture Map dialog: details list
    idMinFilter = 1031,
    idMagFilter = 1032,
    idBrowse = 1033,
};
