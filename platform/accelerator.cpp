// Accelerator tables: loading, and turning a matching key into WM_COMMAND before any control
// sees the key.
#include "platform/layer.h"

using namespace layer;

HACCEL WINAPI LoadAcceleratorsA(HINSTANCE instance, LPCSTR name) {
    const ResourceTable* table = resourcesOf(instance);
    int id = resourceNumber(name);
    if (!table || id < 0)
        return nullptr;
    for (const AcceleratorResource& resource : table->accelerators) {
        if (resource.id != id)
            continue;
        auto& loaded = state().accelerators;
        for (auto& [handle, known] : loaded) {
            if (known == &resource)
                return reinterpret_cast<HACCEL>(handle);
        }
        uintptr_t handle = newHandle();
        loaded.emplace(handle, &resource);
        return reinterpret_cast<HACCEL>(handle);
    }
    return nullptr;
}

int WINAPI TranslateAcceleratorA(HWND window, HACCEL table, LPMSG msg) {
    if (!msg || !windowOf(window))
        return 0;
    auto found = state().accelerators.find(reinterpret_cast<uintptr_t>(table));
    if (found == state().accelerators.end())
        return 0;
    bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    bool character = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
    if (!keyDown && !character)
        return 0;

    BYTE modifiers = 0;
    if (keyIsDown(VK_SHIFT))
        modifiers |= FSHIFT;
    if (keyIsDown(VK_CONTROL))
        modifiers |= FCONTROL;
    if (keyIsDown(VK_MENU) || msg->message == WM_SYSKEYDOWN || msg->message == WM_SYSCHAR)
        modifiers |= FALT;

    for (const ACCEL& entry : found->second->entries) {
        bool matched;
        if (entry.fVirt & FVIRTKEY) {
            matched = keyDown && entry.key == msg->wParam &&
                      (entry.fVirt & (FSHIFT | FCONTROL | FALT)) == modifiers;
        } else {
            matched = character && entry.key == msg->wParam &&
                      ((entry.fVirt & FALT) != 0) == ((modifiers & FALT) != 0);
        }
        if (!matched)
            continue;
        // An entry whose command is a menu item's acts only as that item could: the key is taken
        // but nothing is sent while the mouse is captured (a drop-down list is open, a drag
        // goes on), the window is disabled or the item grayed. FNOINVERT only spares the
        // menu bar its highlight.
        if (MenuItem* item = findMenuItem(GetMenu(window), entry.cmd)) {
            if (GetCapture() || !IsWindowEnabled(window) ||
                (item->state & (MF_GRAYED | MF_DISABLED)))
                return 1;
        }
        sendMessage(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
        return 1;
    }
    return 0;
}
