#include "platform/fltk/fltk_file_chooser.h"

#include "platform/backend.h"
#include "platform/fltk/fltk_draw.h"
#include "platform/fltk/fltk_message_box.h"
#include "platform/fltk/gtk_chooser.h"

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_File_Browser.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_Return_Button.H>
#include <FL/filename.H>

#include <fnmatch.h>

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

// A filter's text as an entry of FLTK's menu: '/', '&', '\' and a leading '_' mean something
// to the menu.
std::string menuTextOf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '/' || c == '&' || c == '\\' || (c == '_' && out.empty()))
            out += '\\';
        out += c;
    }
    return out;
}

template <typename Widget> Widget* childOf(Fl_Group* group) {
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* child = group->child(i);
        if (auto* found = dynamic_cast<Widget*>(child))
            return found;
        if (Fl_Group* inner = child->as_group())
            if (Widget* found = childOf<Widget>(inner))
                return found;
    }
    return nullptr;
}

// FLTK's own chooser, for when GTK is not there. It is built inside the native chooser and
// shows FLTK's filter syntax, "All Files" and "Custom Filter"; once its window is up (a check
// run by the wait loop it sits in) its filter list becomes the request's, and Enter or OK on a
// name the request refuses shows the platform's message and keeps it open.
struct FltkChooserState {
    const ChooserRequest* request = nullptr;
    Fl_File_Chooser* chooser = nullptr;
    Fl_Window* window = nullptr;
    Fl_File_Browser* files = nullptr;
    std::string pattern; // the browser keeps a pointer to it
    Fl_File_Input* name = nullptr;
    Fl_Callback* nameCallback = nullptr; // the chooser's own, called once a name passes
    void* nameData = nullptr;
    Fl_Callback* okCallback = nullptr;
    void* okData = nullptr;
};
FltkChooserState fltkChooser;

void showFilter(int index) {
    const ChooserFilter& filter = fltkChooser.request->filters[static_cast<size_t>(index)];
    fltkChooser.pattern = fltkPatternOf(filter);
    fltkChooser.files->filter(fltkChooser.pattern.c_str());
    fltkChooser.chooser->rescan_keep_filename();
}

void onFilterPicked(Fl_Widget* choice, void*) {
    showFilter(static_cast<Fl_Choice*>(choice)->value());
}

// The typed name as a path: relative names are in the folder shown.
std::string typedPath(const char* typed) {
    std::filesystem::path path(typed ? typed : "");
    if (path.is_relative())
        path = std::filesystem::path(fltkChooser.chooser->directory()) / path;
    return path.string();
}

// Lets the chooser act on a name unless it is a file the request refuses.
bool nameRefused() {
    const char* typed = fltkChooser.name->value();
    if (!typed || !*typed)
        return false;
    const std::string path = chosenPath(*fltkChooser.request->record, typedPath(typed));
    if (fl_filename_isdir(path.c_str()))
        return false;
    const std::string refusal = chosenPathRefusal(*fltkChooser.request->record, path);
    if (refusal.empty()) {
        fltkChooser.name->value(path.c_str());
        return false;
    }
    showMessageBox(fltkChooser.window, refusal.c_str(), fltkChooser.request->title.c_str(),
                   MB_OK | MB_ICONWARNING);
    fltkChooser.name->take_focus();
    return true;
}

void onNameEntered(Fl_Widget* field, void*) {
    const bool enter = Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter;
    if (!(enter && nameRefused()))
        fltkChooser.nameCallback(field, fltkChooser.nameData);
}

void onOk(Fl_Widget* button, void*) {
    if (!nameRefused())
        fltkChooser.okCallback(button, fltkChooser.okData);
}

Fl_Window* shownChooserWindow() {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
        if (w->label() && fltkChooser.request->title == w->label() && w->user_data() &&
            childOf<Fl_File_Browser>(w) && childOf<Fl_Return_Button>(w)) {
            return w;
        }
    }
    return nullptr;
}

void adoptFltkChooser(void*) {
    Fl_Window* window = shownChooserWindow();
    if (!window)
        return;
    Fl::remove_check(adoptFltkChooser);
    FltkChooserState& s = fltkChooser;
    s.window = window;
    // The chooser's window carries the chooser as its user data, as its callbacks expect.
    s.chooser = static_cast<Fl_File_Chooser*>(window->user_data());
    s.files = childOf<Fl_File_Browser>(window);
    s.name = childOf<Fl_File_Input>(window);
    s.chooser->textfont(fltk_look::font);
    s.chooser->textsize(fltk_look::fontSize);
    if (Fl_Choice* choice = childOf<Fl_Choice>(window); choice && !s.request->filters.empty()) {
        choice->clear();
        for (const ChooserFilter& filter : s.request->filters)
            choice->add(menuTextOf(filter.text).c_str());
        choice->value(0);
        choice->callback(onFilterPicked);
        showFilter(0);
    }
    if (s.name) {
        // It completes names as they are typed and rewrites itself when a typed '/' names a
        // folder, which garbles a whole path typed in one go; it acts on Enter only.
        s.name->when(FL_WHEN_ENTER_KEY_ALWAYS);
        s.nameCallback = s.name->callback();
        s.nameData = s.name->user_data();
        s.name->callback(onNameEntered);
    }
    if (Fl_Return_Button* ok = childOf<Fl_Return_Button>(window); ok && s.name) {
        s.okCallback = ok->callback();
        s.okData = ok->user_data();
        ok->callback(onOk);
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

std::string fltkPatternOf(const ChooserFilter& filter) {
    std::string out;
    for (const std::string& pattern : filter.patterns) {
        if (!out.empty())
            out += '|';
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

BOOL openFileName(OPENFILENAMEA* record) {
    if (!record)
        return FALSE;
    ChooserRequest request{record, chooserFiltersOf(record->lpstrFilter),
                           record->lpstrTitle ? record->lpstrTitle : "Open",
                           startFolder(*record)};
    // Tests pick FLTK's own chooser on a machine that has GTK.
    if (const char* which = std::getenv("QF_TEST_FILE_CHOOSER"); which && *which == 'f')
        Fl::option(Fl::OPTION_FNFC_USES_GTK, false);

    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    // The filters go in once the dialog is up, so FLTK is given none.
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
    Fl_Group::current(saved);
    chooser.title(request.title.c_str());
    chooser.directory(request.folder.c_str());

    const bool gtk = Fl::option(Fl::OPTION_FNFC_USES_GTK) && hookGtkChooser(request);
    if (!gtk) {
        fltkChooser = FltkChooserState{};
        fltkChooser.request = &request;
        Fl::add_check(adoptFltkChooser);
    }
    const int result = chooser.show();
    if (gtk) {
        unhookGtkChooser();
    } else {
        Fl::remove_check(adoptFltkChooser);
        fltkChooser = FltkChooserState{};
    }
    const char* chosen = result == 0 ? chooser.filename() : nullptr;
    if (!chosen || !*chosen)
        return FALSE;
    return acceptChosenFile(record, chosen);
}
