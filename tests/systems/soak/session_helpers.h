// What the soak's session files share: texts, window lookups and small predicates.
#pragma once

#include "platform/winapi.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "app/shell.h"
#include "platform/headless/headless.h"
#include "scene/polygon.h"

using scene::Polygon;

namespace soak {

inline const std::string textureDialogCaption = "Select Texture Map";
inline const std::string renameDialogCaption = "Rename polygon";
inline const std::string aboutDialogCaption = "About";

std::string format(const char* pattern, auto... values) {
    char text[1024];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

inline HWND mainControl(int id) {
    return headless::findControl(mainWindow, id);
}

inline HWND dialogItem(HWND dialog, int id) {
    return headless::findControl(dialog, id);
}

inline bool within(HWND window, HWND ancestor) {
    for (; window; window = GetParent(window))
        if (window == ancestor)
            return true;
    return false;
}

inline bool isButton(HWND window) {
    std::string name = headless::className(window);
    for (char& c : name)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return name == "button";
}

// A side a texture may have: 2, doubled any number of times. Counted out here rather than
// computed as the program does, so a fault in the program's rule cannot pass both.
inline bool isPowerOfTwo(int n) {
    for (long long side = 2; side <= n; side *= 2) {
        if (side == n)
            return true;
    }
    return false;
}

// The index of `polygon` in `list`, -1 when it is not there.
inline int indexOf(const std::vector<const Polygon*>& list, const Polygon* polygon) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == polygon)
            return int(i);
    return -1;
}

} // namespace soak
