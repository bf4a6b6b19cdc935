// The control panel right of the view frame, and the handles other parts of the program use.
#pragma once

#include "platform/winapi.h"

extern HWND polygonListBox;  // "PolyList", one entry per Polygon in list order
extern HWND redSlider;       // "Red Slider", 0..255
extern HWND greenSlider;     // "Green Slider", 0..255
extern HWND blueSlider;      // "Blue Slider", 0..255
extern HWND alphaSlider;     // "Alpha Slider", 0..100 hundredths
extern HWND sizeSlider;      // "Size Slider", 1..255
extern HWND alphaTestSlider; // "AlphaTest Slider", 0..100 hundredths
extern HWND redField;        // value fields: display only, they hand the focus back
extern HWND greenField;
extern HWND blueField;
extern HWND alphaField;
extern HWND sizeField;
extern HWND alphaRefField;
extern HWND colourSwatch;      // "ColFrame", filled with the current colour after every message
extern HWND textureFileField;  // the current polygon's texture file name
extern HWND blendCheckBox;     // "Enable GL_BLEND"
extern HWND alphaTestCheckBox; // "Enable GL_ALPHA_TEST"
extern HWND texEnvCombo;       // "glTexEnv"
extern HWND blendSrcCombo;     // "glBlend1", source factors
extern HWND blendDstCombo;     // "glBlend2", destination factors
extern HWND alphaFuncCombo;    // "glAlpha1"

// Sets the Options menu's initial marks and creates every panel control on parent.
// Always returns 1; a control that cannot be made leaves a null handle.
int createPanel(HWND parent);

// Forgets every stored handle (the windows themselves go with the main window).
void resetPanelHandles();
