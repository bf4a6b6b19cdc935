// GetOpenFileNameA on the desktop: GTK's file dialog, or FLTK's own chooser where GTK cannot
// start, shown with the record's title, filters and starting folder; a name the record's flags
// refuse brings the platform's message, and the chooser stays.
#pragma once

#include "platform/winapi.h"

#include <string>
#include <vector>

// One entry of the record's filter list ("text\0*.a;*.b\0...\0\0").
struct ChooserFilter {
    std::string text;                  // shown exactly as given
    std::vector<std::string> patterns; // "*.a", "*.b"; "*" when the entry has none
};
std::vector<ChooserFilter> chooserFiltersOf(const char* filter);

// Whether a file name (no folder) passes the filter; letters match either case, as on the
// platform whose names these patterns are written for.
bool filterMatches(const ChooserFilter& filter, const char* name);
// The filter as an entry of FLTK's own chooser: "text (pattern)", the text's parentheses made
// brackets, the pattern FLTK's, each letter a [xX] pair.
std::string fltkFilterEntryOf(const ChooserFilter& filter);

// The chooser answers as the record's dialog does from here on.
struct ChooserRequest {
    const OPENFILENAMEA* record;
    std::vector<ChooserFilter> filters;
    std::string title;
    std::string folder; // absolute
};

BOOL openFileName(OPENFILENAMEA* record);
