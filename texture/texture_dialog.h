// The Texture Map dialog (template 107) and the file chooser it opens.
#pragma once

#include "platform/winapi.h"

// Size of the path and file-name buffers handed to the file chooser.
constexpr size_t fileChooserBufferSize = 260;

// The dialog procedure; acts on the current polygon, which stays put while the dialog is open.
INT_PTR CALLBACK textureDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the file-open dialog for a picture. Both buffers hold fileChooserBufferSize bytes.
// Non-zero when the user chose an existing file: its full path is then in pathBuffer and its
// name without directory in nameBuffer.
BOOL chooseTextureFile(HWND owner, const char* title, char* pathBuffer, char* nameBuffer);

// Copies a chosen file name into a polygon's textureFile, cut to fit (never mid-character).
void setTextureFileName(char (&textureFile)[256], const char* name);
