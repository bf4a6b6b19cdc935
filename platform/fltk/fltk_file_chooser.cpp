#include "platform/fltk/fltk_file_chooser.h"

#include "platform/backend.h"
#include "platform/fltk/fltk_backend.h"
#include "platform/fltk/fltk_draw.h"
#include "platform/fltk/fltk_message_box.h"
#include "platform/fltk/gtk_chooser.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_File_Chooser.H>

#include <fnmatch.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace {

std::vector<std::string> splitPatterns(const std::string& patterns) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= patterns.size()) {
        const size_t end = patterns.find(';', start);
        const std::string part =
            patterns.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty())
            parts.push_back(part);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return parts;
}

// The filter as one pattern of FLTK's file browser, each letter a [xX] pair: FLTK matches
// names case by case. Alternatives are joined with ',', as FLTK's menu would split at '|'.
std::string fltkPatternOf(const ChooserFilter& filter) {
    std::string out;
    for (const std::string& pattern : filter.patterns) {
        if (!out.empty())
            out += ',';
        if (pattern == "*.*") {
            out += '*';
            continue;
        }
        for (char c : pattern) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (std::isalpha(u)) {
                out += '[';
                out += static_cast<char>(std::tolower(u));
                out += static_cast<char>(std::toupper(u));
                out += ']';
            } else if (c == '{' || c == '}' || c == '|' || c == ',' || c == '\\') {
                out += '\\';
                out += c;
            } else {
                out += c;
            }
        }
    }
    return filter.patterns.size() > 1 ? "{" + out + "}" : out;
}

// FLTK's own chooser, where GTK cannot start, through its public API: it shows each filter as
// "text (pattern)" and takes the pattern from the first parenthesis, so parentheses of the
// text become brackets; it adds "All Files" and "Custom Filter". It closes on any name (CREATE)
// and comes back with the platform's message over the program when the name is refused.
std::string runFltkChooser(const ChooserRequest& request, Fl_Window* owner) {
    std::string filters;
    for (const ChooserFilter& filter : request.filters)
        filters += (filters.empty() ? "" : "\t") + fltkFilterEntryOf(filter);
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    Fl_File_Chooser chooser(request.folder.c_str(), filters.c_str(), Fl_File_Chooser::CREATE,
                            request.title.c_str());
    Fl_Group::current(saved);
    chooser.newButton->deactivate(); // an open dialog makes no folders
    chooser.textfont(fltk_look::font);
    chooser.textsize(fltk_look::fontSize);
    for (;;) {
        chooser.show();
        while (chooser.shown())
            Fl::wait();
        const char* picked = chooser.value();
        if (!picked)
            return "";
        std::filesystem::path path(picked);
        if (path.is_relative())
            path = std::filesystem::path(chooser.directory()) / path;
        const std::string refusal =
            chosenPathRefusal(*request.record, chosenPath(*request.record, path.string()));
        if (refusal.empty())
            return path.string();
        showMessageBox(owner, refusal.c_str(), request.title.c_str(), MB_OK | MB_ICONWARNING);
    }
}

// Where the chooser starts: the record's folder, or the current one.
std::string startFolder(const OPENFILENAMEA& record) {
    std::error_code error;
    std::filesystem::path folder = record.lpstrInitialDir && *record.lpstrInitialDir
                                       ? std::filesystem::path(record.lpstrInitialDir)
                                       : std::filesystem::current_path(error);
    return std::filesystem::absolute(folder, error).string();
}

} // namespace

std::vector<ChooserFilter> chooserFiltersOf(const char* filter) {
    std::vector<ChooserFilter> filters;
    if (!filter)
        return filters;
    // Pairs of zero-terminated strings, the list ending with an empty one.
    for (const char* p = filter; *p;) {
        ChooserFilter entry{p, {}};
        p += entry.text.size() + 1;
        const std::string patterns = p;
        if (*p)
            p += patterns.size() + 1;
        entry.patterns = splitPatterns(patterns);
        if (entry.patterns.empty())
            entry.patterns.push_back("*");
        filters.push_back(entry);
    }
    return filters;
}

bool filterMatches(const ChooserFilter& filter, const char* name) {
    for (const std::string& pattern : filter.patterns) {
        // "*.*" is every file on the platform these patterns come from, dot or not.
        if (pattern == "*" || pattern == "*.*" ||
            fnmatch(pattern.c_str(), name, FNM_CASEFOLD | FNM_PERIOD) == 0) {
            return true;
        }
    }
    return false;
}

std::string fltkFilterEntryOf(const ChooserFilter& filter) {
    std::string text = filter.text;
    std::replace(text.begin(), text.end(), '(', '[');
    std::replace(text.begin(), text.end(), ')', ']');
    return text + " (" + fltkPatternOf(filter) + ")";
}

BOOL openFileName(OPENFILENAMEA* record) {
    if (!record)
        return FALSE;
    const ChooserRequest request{record, chooserFiltersOf(record->lpstrFilter),
                                 record->lpstrTitle ? record->lpstrTitle : "Open",
                                 startFolder(*record)};
    Fl_Window* owner = hostWindowOf(record->hwndOwner);
    // Tests pick FLTK's own chooser on a machine that has GTK.
    const char* which = std::getenv("QF_TEST_FILE_CHOOSER");
    const std::string chosen = (which && *which == 'f') || !gtkChooserStarts()
                                   ? runFltkChooser(request, owner)
                                   : runGtkChooser(request, owner);
    return chosen.empty() ? FALSE : acceptChosenFile(record, chosen.c_str());
}
