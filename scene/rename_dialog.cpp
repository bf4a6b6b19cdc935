#include <cstring>

#include "resources/resource_ids.h"
#include "scene/polygon_list.h"
#include "scene/scene.h"

namespace {

// onInitDialog: both fields show the name; the new name is selected, ready to overwrite.
INT_PTR onInitDialog(HWND dialog) {
    SetDlgItemTextA(dialog, idOldName, currentPolygon->name);
    SetDlgItemTextA(dialog, idNewName, currentPolygon->name);
    HWND newName = GetDlgItem(dialog, idNewName);
    SetFocus(newName);
    SendMessageA(newName, EM_SETSEL, 0, -1);
    return FALSE; // the focus is placed already
}

// onOk: an empty new name keeps the old one.
void onOk(HWND dialog) {
    char name[255]; // at most 254 characters are taken
    if (GetDlgItemTextA(dialog, idNewName, name, sizeof name) > 0)
        std::strcpy(currentPolygon->name, name);
    EndDialog(dialog, 0);
}

} // namespace

INT_PTR CALLBACK nameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: onOk(dialog); return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        }
        return FALSE;
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE;
    }
    return FALSE;
}
