#include "panel/panel_sync.h"

#include <cstdio>

#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"

namespace {

const float colourScale = 1.0f / 255.0f; // a component as a fraction
const float percent = 0.01f;             // an alpha trackbar step

void setText(HWND control, const char* text) {
    SendMessageA(control, WM_SETTEXT, 0, LPARAM(text));
}

void showColour(HWND field, int component) {
    char text[32];
    std::snprintf(text, sizeof text, "%d / %0.2f", component, component * colourScale);
    setText(field, text);
}

void showFraction(HWND field, float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%0.2f", value);
    setText(field, text);
}

void showSize(int size) {
    char text[32];
    std::snprintf(text, sizeof text, "%dpx", size);
    setText(sizeField, text);
}

void setSlider(HWND slider, int position) {
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
}

// Hundredths of a stored fraction, truncated in double precision as the panel always has: a
// fraction stored from position 29 comes back as 28.
int hundredths(float fraction) {
    return int(double(fraction) * 100.0);
}

void showPolygon(const scene::Polygon& polygon) {
    setSlider(redSlider, polygon.red);
    setSlider(greenSlider, polygon.green);
    setSlider(blueSlider, polygon.blue);
    setSlider(alphaSlider, hundredths(polygon.alpha));
    setSlider(sizeSlider, polygon.size);
    setSlider(alphaTestSlider, hundredths(polygon.alphaRef));

    showColour(redField, polygon.red);
    showColour(greenField, polygon.green);
    showColour(blueField, polygon.blue);
    showFraction(alphaField, polygon.alpha);
    showFraction(alphaRefField, polygon.alphaRef);
    showSize(polygon.size);
    setText(textureFileField, polygon.textureFile);

    SendMessageA(blendCheckBox, BM_SETCHECK, WPARAM(polygon.blendEnabled), 0);
    SendMessageA(alphaTestCheckBox, BM_SETCHECK, WPARAM(polygon.alphaTestEnabled), 0);

    SendMessageA(texEnvCombo, CB_SETCURSEL, WPARAM(polygon.texEnvIndex), 0);
    SendMessageA(blendSrcCombo, CB_SETCURSEL, WPARAM(polygon.blendSrcIndex), 0);
    SendMessageA(blendDstCombo, CB_SETCURSEL, WPARAM(polygon.blendDstIndex), 0);
    SendMessageA(alphaFuncCombo, CB_SETCURSEL, WPARAM(polygon.alphaFuncIndex), 0);
}

void showNoPolygon() {
    setSlider(redSlider, 0);
    setSlider(greenSlider, 0);
    setSlider(blueSlider, 0);
    setSlider(alphaSlider, 0);
    setSlider(sizeSlider, 1);
    setSlider(alphaTestSlider, 0);

    showColour(redField, 0);
    showColour(greenField, 0);
    showColour(blueField, 0);
    showFraction(alphaField, 0.0f);
    showFraction(alphaRefField, 0.0f);
    showSize(0);
    setText(textureFileField, ""); // "None" stands there only until the first reset

    SendMessageA(blendCheckBox, BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageA(alphaTestCheckBox, BM_SETCHECK, BST_UNCHECKED, 0);

    SendMessageA(texEnvCombo, CB_SETCURSEL, 0, 0);
    SendMessageA(blendSrcCombo, CB_SETCURSEL, 0, 0);
    SendMessageA(blendDstCombo, CB_SETCURSEL, 0, 0);
    SendMessageA(alphaFuncCombo, CB_SETCURSEL, 7, 0); // GL_ALWAYS
}

// Stores a combo's selection with the GL enum it carries; index and enum always go together.
void storeComboChoice(HWND box, int32_t& index, uint32_t& value) {
    LRESULT selection = SendMessageA(box, CB_GETCURSEL, 0, 0);
    LRESULT data = SendMessageA(box, CB_GETITEMDATA, WPARAM(selection), 0);
    index = int32_t(selection);
    value = uint32_t(data);
}

bool isValueField(int id) {
    switch (id) {
    case idRedField:
    case idGreenField:
    case idBlueField:
    case idAlphaField:
    case idSizeField:
    case idTextureFileField:
    case idAlphaRefField: return true;
    }
    return false;
}

} // namespace

void refreshPanel() {
    if (currentPolygon)
        showPolygon(*currentPolygon);
    else
        showNoPolygon();
}

void paintSwatch() {
    HDC dc = GetDC(colourSwatch);
    COLORREF colour = 0;
    if (currentPolygon)
        colour = RGB(currentPolygon->red & 0xFF, currentPolygon->green & 0xFF,
                     currentPolygon->blue & 0xFF);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT area = {0, 0, 60, 56}; // the client area inside the one-pixel static edge
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    ReleaseDC(colourSwatch, dc);
}

bool onPanelScroll(WPARAM wParam, LPARAM lParam) {
    HWND source = HWND(lParam);
    int request = LOWORD(wParam);
    int position = request == TB_THUMBPOSITION || request == TB_THUMBTRACK
                       ? int(HIWORD(wParam))
                       : int(SendMessageA(source, TBM_GETPOS, 0, 0));
    if (!currentPolygon)
        return false;

    scene::Polygon& polygon = *currentPolygon;
    if (source == redSlider) {
        showColour(redField, position);
        polygon.red = position;
    } else if (source == greenSlider) {
        showColour(greenField, position);
        polygon.green = position;
    } else if (source == blueSlider) {
        showColour(blueField, position);
        polygon.blue = position;
    } else if (source == alphaSlider) {
        float value = position * percent;
        showFraction(alphaField, value);
        polygon.alpha = value;
    } else if (source == alphaTestSlider) {
        float value = position * percent;
        showFraction(alphaRefField, value);
        polygon.alphaRef = value;
    } else if (source == sizeSlider) {
        showSize(position);
        polygon.size = position;
    } else {
        return false;
    }
    return true;
}

bool onPanelCommand(int id, int code) {
    if (code == EN_SETFOCUS && isValueField(id)) {
        SetFocus(polygonListBox); // display only: no caret stays in these fields
        return true;
    }
    if (code == BN_CLICKED && (id == idBlendCheckBox || id == idAlphaTestCheckBox)) {
        if (!currentPolygon)
            return true;
        if (id == idBlendCheckBox)
            currentPolygon->blendEnabled = int32_t(SendMessageA(blendCheckBox, BM_GETCHECK, 0, 0));
        else
            currentPolygon->alphaTestEnabled =
                int32_t(SendMessageA(alphaTestCheckBox, BM_GETCHECK, 0, 0));
        return true;
    }
    if (code == CBN_SELCHANGE) {
        scene::Polygon* polygon = currentPolygon;
        switch (id) {
        case idTexEnvCombo:
            if (polygon)
                storeComboChoice(texEnvCombo, polygon->texEnvIndex, polygon->texEnvMode);
            return true;
        case idBlendSrcCombo:
            if (polygon)
                storeComboChoice(blendSrcCombo, polygon->blendSrcIndex, polygon->blendSrc);
            return true;
        case idBlendDstCombo:
            if (polygon)
                storeComboChoice(blendDstCombo, polygon->blendDstIndex, polygon->blendDst);
            return true;
        case idAlphaFuncCombo:
            if (polygon)
                storeComboChoice(alphaFuncCombo, polygon->alphaFuncIndex, polygon->alphaFunc);
            return true;
        }
    }
    return false;
}
