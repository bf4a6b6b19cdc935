#include "app/about_dialog.h"

#include "app/shell.h"
#include "resources/resource_ids.h"

namespace {

// onInitDialog: fills the version history; the dialog manager places the focus.
INT_PTR onInitDialog(HWND dialog) {
    char history[1024];
    LoadStringA(instanceHandle, versionHistoryString, history, sizeof history);
    SetDlgItemTextA(dialog, idVersionHistory, history);
    return TRUE;
}

// onCommand: OK closes; Esc is ignored; the history is read-only by giving the focus away.
INT_PTR onCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDOK: EndDialog(dialog, 0); return TRUE;
    case IDCANCEL: return TRUE;
    case idVersionHistory:
        if (code != EN_SETFOCUS)
            return FALSE;
        SetFocus(GetDlgItem(dialog, IDOK));
        return TRUE;
    }
    return FALSE;
}

} // namespace

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog);
    case WM_COMMAND: return onCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE: EndDialog(dialog, 0); return TRUE; // the close box, unlike Esc, closes
    }
    return FALSE;
}
