// Modules and their resources: instance handles, strings, icons, cursors, bitmaps, dialog
// templates; the one library the program loads, and the common controls.
#include "platform/layer.h"

#include <algorithm>
#include <cstring>
#include <set>

using namespace layer;

namespace {

// Modules live as long as the process, as loaded images do; they are not session state.
std::set<const ResourceTable*>& knownModules() {
    static std::set<const ResourceTable*> modules;
    return modules;
}

const ResourceTable richEditModule{}; // the rich-edit library has no resources we use

template <typename Record> const Record* findById(std::span<const Record> records, int id) {
    auto found = std::find_if(records.begin(), records.end(),
                              [id](const Record& r) { return static_cast<int>(r.id) == id; });
    return found == records.end() ? nullptr : &*found;
}

HICON sharedHandle(const std::string& key) {
    auto& handles = state().sharedHandles;
    auto found = handles.find(key);
    if (found != handles.end())
        return found->second;
    HICON handle = reinterpret_cast<HICON>(newHandle());
    handles.emplace(key, handle);
    return handle;
}

std::string baseName(const char* path) {
    std::string name = lowerCase(path);
    size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

} // namespace

HINSTANCE moduleInstance(const ResourceTable& table) {
    knownModules().insert(&table);
    return reinterpret_cast<HINSTANCE>(const_cast<ResourceTable*>(&table));
}

namespace layer {

const ResourceTable* resourcesOf(HINSTANCE instance) {
    auto* table = reinterpret_cast<const ResourceTable*>(instance);
    return knownModules().count(table) ? table : nullptr;
}

int resourceNumber(LPCSTR name) {
    if (!name)
        return -1;
    if (IS_INTRESOURCE(name))
        return LOWORD(name);
    if (name[0] == '#') {
        char* end = nullptr;
        long number = std::strtol(name + 1, &end, 10);
        if (end && *end == '\0' && number >= 0 && number <= 0xFFFF)
            return static_cast<int>(number);
    }
    return -1; // resources are numbered only
}

const DialogResource* findDialog(HINSTANCE instance, LPCSTR name) {
    const ResourceTable* table = resourcesOf(instance);
    int id = resourceNumber(name);
    return table && id >= 0 ? findById(table->dialogs, id) : nullptr;
}

const BitmapResource* findBitmap(HINSTANCE instance, LPCSTR name) {
    const ResourceTable* table = resourcesOf(instance);
    int id = resourceNumber(name);
    return table && id >= 0 ? findById(table->bitmaps, id) : nullptr;
}

HBITMAP bitmapHandle(int id) {
    auto object = std::make_unique<GdiObject>();
    object->kind = GdiObject::Bitmap;
    object->bitmapId = id;
    uintptr_t handle = newHandle();
    state().gdiObjects.emplace(handle, std::move(object));
    return reinterpret_cast<HBITMAP>(handle);
}

} // namespace layer

int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    const ResourceTable* table = resourcesOf(instance);
    const StringResource* found = table ? findById(table->strings, static_cast<int>(id)) : nullptr;
    if (!buffer)
        return 0;
    if (size == 0) {
        // The real call hands out a pointer to the resource itself.
        if (!found)
            return 0;
        *reinterpret_cast<LPCSTR*>(buffer) = found->text;
        return static_cast<int>(std::strlen(found->text));
    }
    if (size < 0)
        return 0;
    buffer[0] = '\0';
    if (!found)
        return 0;
    int count = std::min(static_cast<int>(std::strlen(found->text)), size - 1);
    std::memcpy(buffer, found->text, count);
    buffer[count] = '\0';
    return count;
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    int id = resourceNumber(name);
    if (id < 0)
        return nullptr;
    if (!instance) {
        if (id < 32512 || id > 32517)
            return nullptr;
        return sharedHandle("icon:" + std::to_string(id));
    }
    const ResourceTable* table = resourcesOf(instance);
    if (!table || !findById(table->icons, id))
        return nullptr;
    return sharedHandle("icon:" + std::to_string(reinterpret_cast<uintptr_t>(table)) + ":" +
                        std::to_string(id));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    int id = resourceNumber(name);
    if (instance || id < 32512 || id > 32515)
        return nullptr; // system cursors only
    return sharedHandle("cursor:" + std::to_string(id));
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR name) {
    const BitmapResource* bitmap = findBitmap(instance, name);
    return bitmap ? bitmapHandle(bitmap->id) : nullptr;
}

HMODULE WINAPI LoadLibraryA(LPCSTR fileName) {
    if (!fileName)
        return nullptr;
    std::string name = baseName(fileName);
    Layer& s = state();
    if (s.refusedLibraries.count(name))
        return nullptr;
    if (name != "riched32.dll" && name != "riched32")
        return nullptr;
    if (s.richEditLoads++ == 0)
        registerRichEditClass();
    return moduleInstance(richEditModule);
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    Layer& s = state();
    if (module != moduleInstance(richEditModule) || s.richEditLoads == 0)
        return FALSE;
    if (--s.richEditLoads == 0)
        unregisterLibraryClasses();
    return TRUE;
}

void WINAPI InitCommonControls(void) {
    if (state().commonControls)
        return;
    state().commonControls = true;
    registerTrackbarClass();
}
