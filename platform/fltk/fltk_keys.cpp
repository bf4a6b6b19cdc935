#include "platform/fltk/fltk_keys.h"

#include <FL/Enumerations.H>

namespace {

// Keypad keys without Num Lock are the navigation keys printed on them.
UINT keypadNavigationKey(int digit) {
    switch (digit) {
    case '0': return VK_INSERT;
    case '1': return VK_END;
    case '2': return VK_DOWN;
    case '3': return VK_NEXT;
    case '4': return VK_LEFT;
    case '5': return VK_CLEAR;
    case '6': return VK_RIGHT;
    case '7': return VK_HOME;
    case '8': return VK_UP;
    case '9': return VK_PRIOR;
    case '.': return VK_DELETE;
    default: return 0;
    }
}

UINT punctuationKey(int key) {
    switch (key) {
    case ';': return 0xBA;  // VK_OEM_1
    case '=': return 0xBB;  // VK_OEM_PLUS
    case ',': return 0xBC;  // VK_OEM_COMMA
    case '-': return 0xBD;  // VK_OEM_MINUS
    case '.': return 0xBE;  // VK_OEM_PERIOD
    case '/': return 0xBF;  // VK_OEM_2
    case '`': return 0xC0;  // VK_OEM_3
    case '[': return 0xDB;  // VK_OEM_4
    case '\\': return 0xDC; // VK_OEM_5
    case ']': return 0xDD;  // VK_OEM_6
    case '\'': return 0xDE; // VK_OEM_7
    default: return 0;
    }
}

} // namespace

UINT virtualKeyOf(int key, bool numLock) {
    if (key >= 'a' && key <= 'z')
        return UINT(key - 'a' + 'A');
    if (key >= '0' && key <= '9')
        return UINT(key); // the main row only; the keypad is FL_KP + digit
    if (key == ' ')
        return VK_SPACE;
    if (key >= FL_F + 1 && key <= FL_F + 12)
        return UINT(VK_F1 + (key - FL_F - 1));
    if (key >= FL_KP && key <= FL_KP_Last) {
        const int c = key - FL_KP;
        if (c >= '0' && c <= '9')
            return numLock ? UINT(VK_NUMPAD0 + (c - '0')) : keypadNavigationKey(c);
        if (c == '.')
            return numLock ? UINT(VK_DECIMAL) : keypadNavigationKey(c);
        switch (c) {
        case '*': return VK_MULTIPLY;
        case '+': return VK_ADD;
        case '-': return VK_SUBTRACT;
        case '/': return VK_DIVIDE;
        default: break;
        }
    }
    switch (key) {
    case FL_BackSpace: return VK_BACK;
    case FL_Tab: return VK_TAB;
    case FL_Enter:
    case FL_KP_Enter: return VK_RETURN;
    case FL_Escape: return VK_ESCAPE;
    case FL_Pause: return VK_PAUSE;
    case FL_Home: return VK_HOME;
    case FL_End: return VK_END;
    case FL_Left: return VK_LEFT;
    case FL_Up: return VK_UP;
    case FL_Right: return VK_RIGHT;
    case FL_Down: return VK_DOWN;
    case FL_Page_Up: return VK_PRIOR;
    case FL_Page_Down: return VK_NEXT;
    case FL_Insert: return VK_INSERT;
    case FL_Delete: return VK_DELETE;
    case FL_Shift_L:
    case FL_Shift_R: return VK_SHIFT;
    case FL_Control_L:
    case FL_Control_R: return VK_CONTROL;
    case FL_Alt_L:
    case FL_Alt_R: return VK_MENU;
    case FL_Caps_Lock: return VK_CAPITAL;
    default: return punctuationKey(key);
    }
}

bool feedsAsCharacter(int key, UINT virtualKey, const char* text, bool shift) {
    if (!text || !text[0] || text[1] || static_cast<unsigned char>(text[0]) < 32 || text[0] == 127)
        return false;
    const char c = text[0];
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return c != char(shift ? virtualKey : virtualKey - 'A' + 'a');
    if (virtualKey >= '0' && virtualKey <= '9')
        return shift || c != char(virtualKey);
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9)
        return c != char('0' + virtualKey - VK_NUMPAD0);
    if (virtualKey == VK_SPACE)
        return c != ' ';
    (void)key;
    return true;
}
