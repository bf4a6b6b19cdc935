#include "platform/fltk/fltk_file_chooser.h"

#include "platform/backend.h"
#include "platform/fltk/fltk_draw.h"

#include <FL/Fl.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>

#include <vector>

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

// "*.bmp;*.pcx" as one FLTK pattern: "*.{bmp,pcx}", or "{a|b}" for patterns of other shapes.
std::string patternOf(const std::string& patterns) {
    const std::vector<std::string> parts = splitPatterns(patterns);
    if (parts.empty())
        return "*";
    if (parts.size() == 1)
        return parts[0];
    bool allExtensions = true;
    for (const std::string& p : parts)
        allExtensions = allExtensions && p.size() > 2 && p.compare(0, 2, "*.") == 0 &&
                        p.find_first_of("*?[{", 2) == std::string::npos;
    std::string joined;
    for (const std::string& p : parts) {
        if (!joined.empty())
            joined += allExtensions ? "," : "|";
        joined += allExtensions ? p.substr(2) : p;
    }
    return allExtensions ? "*.{" + joined + "}" : "{" + joined + "}";
}

// A filter's text as an entry of FLTK's filter menu: its own parentheses would be taken for
// the pattern, and '/', '&', '\' and a leading '_' mean something to the menu.
std::string menuTextOf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '(')
            c = '[';
        else if (c == ')')
            c = ']';
        if (c == '/' || c == '&' || c == '\\' || (c == '_' && out.empty()))
            out += '\\';
        out += c;
    }
    return out;
}

Fl_File_Input* nameFieldOf(Fl_Group* group) {
    for (int i = 0; i < group->children(); ++i) {
        Fl_Widget* child = group->child(i);
        if (auto* field = dynamic_cast<Fl_File_Input*>(child))
            return field;
        if (Fl_Group* inner = child->as_group())
            if (Fl_File_Input* field = nameFieldOf(inner))
                return field;
    }
    return nullptr;
}

} // namespace

std::string chooserFilterOf(const char* filter) {
    std::string out;
    if (!filter)
        return out;
    // Pairs of zero-terminated strings, the list ending with an empty one.
    for (const char* p = filter; *p;) {
        const std::string text = p;
        p += text.size() + 1;
        const std::string patterns = *p ? std::string(p) : std::string("*");
        if (*p)
            p += patterns.size() + 1;
        if (!out.empty())
            out += '\t';
        out += menuTextOf(text) + " (" + patternOf(patterns) + ")";
    }
    return out;
}

BOOL openFileName(OPENFILENAMEA* record) {
    if (!record)
        return FALSE;
    const std::string filter = chooserFilterOf(record->lpstrFilter);
    const std::string title = record->lpstrTitle ? record->lpstrTitle : "Open";
    const std::string folder = record->lpstrInitialDir ? record->lpstrInitialDir : ".";
    // FLTK's own chooser rather than the GTK one: it looks like the rest of the program and
    // runs in the same modal loop. It accepts existing files only, as OFN_FILEMUSTEXIST asks.
    Fl_Group* saved = Fl_Group::current();
    Fl_Group::current(nullptr);
    Fl_File_Chooser chooser(folder.c_str(), filter.empty() ? nullptr : filter.c_str(),
                            Fl_File_Chooser::SINGLE, title.c_str());
    Fl_Group::current(saved);
    chooser.preview(0);
    chooser.textfont(fltk_look::font);
    chooser.textsize(fltk_look::fontSize);
    // The name field completes names as they are typed and rewrites the field when a typed
    // '/' names a folder, which garbles a whole path typed in one go; it acts on Enter only.
    if (Fl_Group* window = chooser.previewButton->window())
        if (Fl_File_Input* field = nameFieldOf(window))
            field->when(FL_WHEN_ENTER_KEY_ALWAYS);
    chooser.show();
    // The name field starts with the folder, selected, so a typed name or path replaces it.
    while (chooser.shown())
        Fl::wait();
    const char* chosen = chooser.value();
    if (!chosen || !*chosen)
        return FALSE;
    return acceptChosenFile(record, chosen);
}
