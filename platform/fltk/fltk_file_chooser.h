// GetOpenFileNameA on the desktop: FLTK's native chooser, the GTK dialog where GTK is there and
// FLTK's own otherwise, shown with the record's title, filters and starting folder; a name the
// record's flags refuse keeps it open with the platform's message.
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
// The filter as one pattern of FLTK's file browser, each letter a [xX] pair.
std::string fltkPatternOf(const ChooserFilter& filter);

// The chooser answers as the record's dialog does from here on.
struct ChooserRequest {
    const OPENFILENAMEA* record;
    std::vector<ChooserFilter> filters;
    std::string title;
    std::string folder; // absolute
};

BOOL openFileName(OPENFILENAMEA* record);
