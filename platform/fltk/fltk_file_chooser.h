// GetOpenFileNameA on the desktop: FLTK's own file chooser with the record's title, filters
// and starting folder; the choice is written back as the real dialog writes it.
#pragma once

#include "platform/winapi.h"

#include <string>

// The record's filter list ("text\0*.a;*.b\0...\0\0") as FLTK's chooser filter
// ("text (*.{a,b})\t..."); empty when there is none.
std::string chooserFilterOf(const char* filter);

// Fills lpstrFile, lpstrFileTitle, nFileOffset and nFileExtension; false (and the record's
// buffers untouched) when the path or the name does not fit its buffer.
bool writeChosenPath(OPENFILENAMEA& record, const std::string& path);

BOOL openFileName(OPENFILENAMEA* record);
