// GetOpenFileNameA on the desktop: FLTK's own file chooser with the record's title, filters
// and starting folder; the layer checks the choice and writes it into the record.
#pragma once

#include "platform/winapi.h"

#include <string>

// The record's filter list ("text\0*.a;*.b\0...\0\0") as FLTK's chooser filter
// ("text (*.{a,b})\t..."); empty when there is none.
std::string chooserFilterOf(const char* filter);

BOOL openFileName(OPENFILENAMEA* record);
