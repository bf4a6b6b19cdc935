// Message boxes and the file-open dialog: modal over their owner, answered by the backend.
#include "platform/layer.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

using namespace layer;

namespace {

// While a box is up its owner is disabled and no window of ours is active; afterwards the
// owner (or whichever window was active) is activated again, as the real platform does.
struct ModalScope {
    HWND ownerTop;
    HWND previousActive;
    bool ownerWasEnabled;

    explicit ModalScope(HWND owner)
        : ownerTop(owner ? topLevelOf(owner) : nullptr), previousActive(state().active),
          ownerWasEnabled(ownerTop && IsWindowEnabled(ownerTop)) {
        if (ownerWasEnabled)
            EnableWindow(ownerTop, FALSE);
        ++state().modalDepth;
        activate(nullptr);
    }
    ~ModalScope() {
        --state().modalDepth;
        if (ownerWasEnabled && windowOf(ownerTop))
            EnableWindow(ownerTop, TRUE);
        HWND back = windowOf(ownerTop) ? ownerTop : previousActive;
        if (windowOf(back) && IsWindowEnabled(back))
            activate(back);
    }
};

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool directoryExists(const std::string& path) {
    std::error_code error;
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() || std::filesystem::is_directory(parent, error);
}

// Writes the chosen path as the real dialog does; false when the buffer cannot hold it.
bool fillRecord(OPENFILENAMEA& ofn, const std::string& path) {
    if (path.size() + 1 > ofn.nMaxFile) {
        if (ofn.nMaxFile >= 2) {
            WORD needed = static_cast<WORD>(std::min<size_t>(path.size() + 1, 0xFFFF));
            std::memcpy(ofn.lpstrFile, &needed, sizeof needed);
        }
        state().commDlgError = FNERR_BUFFERTOOSMALL;
        return false;
    }
    std::memcpy(ofn.lpstrFile, path.c_str(), path.size() + 1);
    size_t nameStart = path.find_last_of("/\\");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    std::string name = path.substr(nameStart);
    size_t dot = name.find_last_of('.');
    ofn.nFileOffset = static_cast<WORD>(nameStart);
    ofn.nFileExtension =
        static_cast<WORD>(dot == std::string::npos ? path.size() : nameStart + dot + 1);
    if (ofn.lpstrFileTitle && ofn.nMaxFileTitle > 0) {
        size_t count = std::min<size_t>(name.size(), ofn.nMaxFileTitle - 1);
        std::memcpy(ofn.lpstrFileTitle, name.data(), count);
        ofn.lpstrFileTitle[count] = '\0';
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// The boxes the layer shows itself, as dialog windows, when the backend has none of its own:
// the real platform's layout of controls and ids, so that whoever looks for them by id finds them.

constexpr int messageTextId = 0xFFFF; // the message box's text
constexpr int fileNameLabelId = 0x442; // stc3
constexpr int fileNameEditId = 0x480;  // edt1

struct BoxButton {
    int id;
    const char* text;
};

// The buttons of a message box type, left to right.
std::vector<BoxButton> boxButtons(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
    default: return {{IDOK, "OK"}};
    }
}

// A button ends the box with its id; Esc (IDCANCEL) ends it only when it has a Cancel button,
// or is a plain OK box, which it then ends with IDOK.
INT_PTR CALLBACK messageBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(box, GWLP_USERDATA, lParam);
        LRESULT defaultId = SendMessageA(box, DM_GETDEFID, 0, 0);
        SetFocus(GetDlgItem(box, LOWORD(defaultId))); // the default button, not the first
        return FALSE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        UINT type = static_cast<UINT>(GetWindowLongPtrA(box, GWLP_USERDATA));
        if (id == IDCANCEL && !GetDlgItem(box, IDCANCEL)) {
            if ((type & MB_TYPEMASK) == MB_OK)
                EndDialog(box, IDOK);
            return TRUE;
        }
        if (id != messageTextId && GetDlgItem(box, id))
            EndDialog(box, id);
        return TRUE;
    }
    }
    return FALSE;
}

// The template of a box the layer makes itself: centred, in the dialog font.
DialogResource layerDialogTemplate(const char* caption, short width, short height,
                                   std::span<const DialogItemResource> items) {
    return DialogResource{.caption = caption,
                          .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER |
                                   DS_SETFONT,
                          .cx = width,
                          .cy = height,
                          .fontName = "MS Shell Dlg",
                          .pointSize = 8,
                          .items = items};
}

int runMessageBoxDialog(HWND owner, const char* text, const char* caption, UINT type) {
    std::vector<BoxButton> buttons = boxButtons(type);
    size_t defaultButton = std::min<size_t>((type & MB_DEFMASK) >> 8, buttons.size() - 1);
    // Dialog units: one line of text above a row of 50 x 14 buttons.
    short textWidth = static_cast<short>(std::clamp<size_t>(std::strlen(text) * 4 + 8, 60, 300));
    short rowWidth = static_cast<short>(buttons.size() * 56);
    short width = static_cast<short>(std::max(textWidth, rowWidth) + 16);
    std::vector<DialogItemResource> items;
    items.push_back({.className = "STATIC",
                     .text = text,
                     .id = messageTextId,
                     .style = SS_LEFT | SS_NOPREFIX | WS_GROUP | WS_VISIBLE,
                     .x = 8,
                     .y = 8,
                     .cx = textWidth,
                     .cy = 12});
    short x = static_cast<short>(width - rowWidth);
    for (size_t i = 0; i < buttons.size(); ++i, x += 56) {
        DWORD style = (i == defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP |
                      WS_VISIBLE | (i == 0 ? WS_GROUP : 0);
        items.push_back({.className = "BUTTON",
                         .text = buttons[i].text,
                         .id = buttons[i].id,
                         .style = style,
                         .x = x,
                         .y = 28,
                         .cx = 50,
                         .cy = 14});
    }
    DialogResource box = layerDialogTemplate(caption, width, 48, items);
    return static_cast<int>(runModalDialog(box, nullptr, owner, messageBoxProc, type));
}

// The file-open dialog's own procedure: OK takes the typed name, relative to the current
// folder; a name the request's flags refuse keeps the dialog open, as the real one does.
INT_PTR CALLBACK fileOpenProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        return TRUE;
    case WM_COMMAND: {
        auto* ofn = reinterpret_cast<OPENFILENAMEA*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, FALSE);
            return TRUE;
        }
        if (LOWORD(wParam) != IDOK)
            return FALSE;
        char typed[1024] = "";
        GetDlgItemTextA(dialog, fileNameEditId, typed, sizeof typed);
        if (!typed[0])
            return TRUE;
        std::error_code error;
        std::string path = std::filesystem::absolute(typed, error).string();
        state().commDlgError = 0;
        if (acceptChosenFile(ofn, path.c_str())) {
            EndDialog(dialog, TRUE);
        } else if (state().commDlgError == FNERR_BUFFERTOOSMALL) {
            EndDialog(dialog, FALSE);
        } else if (std::string refusal = chosenPathRefusal(*ofn, chosenPath(*ofn, path));
                   !refusal.empty()) {
            // The dialog says why it stays open, as the real one does, over itself.
            char title[256] = "";
            GetWindowTextA(dialog, title, sizeof title);
            MessageBoxA(dialog, refusal.c_str(), title, MB_OK | MB_ICONEXCLAMATION);
        }
        return TRUE;
    }
    }
    return FALSE;
}

BOOL runFileOpenDialog(OPENFILENAMEA* ofn) {
    const DialogItemResource items[] = {
        {"STATIC", "File &name:", fileNameLabelId, SS_LEFT | WS_VISIBLE, 0, 7, 9, 50, 10},
        {"EDIT", "", fileNameEditId, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP | WS_VISIBLE, 0, 60, 7,
         160, 12},
        {"BUTTON", "&Open", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 115, 26, 50, 14},
        {"BUTTON", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 170, 26, 50, 14},
    };
    DialogResource dialog =
        layerDialogTemplate(ofn->lpstrTitle ? ofn->lpstrTitle : "Open", 228, 46, items);
    INT_PTR result = runModalDialog(dialog, nullptr, ofn->hwndOwner, fileOpenProc,
                                    reinterpret_cast<LPARAM>(ofn));
    return result > 0 ? TRUE : FALSE;
}

} // namespace

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const Backend* backend = state().backend;
    if (!backend)
        return 0;
    if (!backend->messageBox)
        return runMessageBoxDialog(owner, text ? text : "", caption ? caption : "Error", type);
    ModalScope modal(owner);
    return backend->messageBox(owner, text ? text : "", caption ? caption : "Error", type);
}

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA ofn) {
    Layer& s = state();
    s.commDlgError = 0;
    if (!ofn || (ofn->lStructSize != OPENFILENAME_SIZE_VERSION_400A &&
                 ofn->lStructSize != sizeof(OPENFILENAMEA))) {
        s.commDlgError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        s.commDlgError = CDERR_INITIALIZATION;
        return FALSE;
    }
    const Backend* backend = s.backend;
    if (!backend) {
        s.commDlgError = CDERR_INITIALIZATION;
        return FALSE;
    }
    if (!backend->openFileName)
        return runFileOpenDialog(ofn);
    ModalScope modal(ofn->hwndOwner);
    return backend->openFileName(ofn);
}

std::string chosenPath(const OPENFILENAMEA& ofn, const std::string& path) {
    const char* extension = ofn.lpstrDefExt;
    if (!extension)
        return path;
    // The extension is meant without its dot, but one given with it is not doubled.
    if (*extension == '.')
        ++extension;
    const std::filesystem::path name = std::filesystem::path(path).filename();
    if (!*extension || name.empty() || name.has_extension())
        return path;
    const std::string withExtension = path + "." + extension;
    return fileExists(withExtension) ? withExtension : path;
}

std::string chosenPathRefusal(const OPENFILENAMEA& ofn, const std::string& path) {
    if ((ofn.Flags & OFN_PATHMUSTEXIST) && !directoryExists(path))
        return path + "\nPath does not exist.\nCheck the path and try again.";
    if ((ofn.Flags & OFN_FILEMUSTEXIST) && !fileExists(path))
        return path + "\nFile not found.\nCheck the file name and try again.";
    return "";
}

BOOL acceptChosenFile(OPENFILENAMEA* ofn, const char* path) {
    if (!ofn || !path || !*path)
        return FALSE;
    // The dialog itself refuses a file or folder that is not there.
    const std::string chosen = chosenPath(*ofn, path);
    if (!chosenPathRefusal(*ofn, chosen).empty())
        return FALSE;
    return fillRecord(*ofn, chosen) ? TRUE : FALSE;
}

DWORD WINAPI CommDlgExtendedError(void) {
    return state().commDlgError;
}
