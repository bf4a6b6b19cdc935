// Message boxes and the file-open dialog: modal over their owner, answered by the backend.
#include "platform/layer.h"

#include <cstring>
#include <filesystem>

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

} // namespace

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    const Backend* backend = state().backend;
    if (!backend || !backend->messageBox)
        return 0;
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
    if (!backend || !backend->openFileName) {
        s.commDlgError = CDERR_INITIALIZATION;
        return FALSE;
    }
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
