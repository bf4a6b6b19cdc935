// FLTK key codes to the virtual-key codes of WM_KEYDOWN.
#pragma once

#include "platform/winapi.h"

// The virtual key of FLTK's Fl::event_key() value; 0 for a key the layer has no code for.
// The keypad digits are VK_NUMPAD0..9 with Num Lock on and the navigation keys without,
// never the main-row digits.
UINT virtualKeyOf(int flKey, bool numLock);

// Whether a key press should reach the layer as its character (VK_PACKET) rather than as its
// key: the layer makes characters from keys as a US keyboard without Caps Lock would, so any
// other character (shifted digits, punctuation, Caps Lock, other layouts) goes as itself.
// `text` is what FLTK says the press types; `shift` whether Shift is down.
bool feedsAsCharacter(int flKey, UINT virtualKey, const char* text, bool shift);
