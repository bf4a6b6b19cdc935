// The desktop's file dialog through GTK 3's own API, beside FLTK: a GtkFileChooserDialog with
// the request's title, starting folder and filters under their exact texts, kept open with the
// platform's message when Open is pressed on a name the request refuses.
//
// - [x] modal over the program's window (transient for its X window); FLTK's windows keep
//       drawing but take no input while it is up
// - [x] GTK 3 only: FLTK's native chooser, which would load GTK 2 beside it, is never used
// - [ ] GTK on a display it cannot open: the caller falls back to FLTK's own chooser
#pragma once

#include "platform/fltk/fltk_file_chooser.h"

#include <string>

class Fl_Window;

// Whether GTK starts on this display (tried once, at the first call).
bool gtkChooserStarts();
// The name chosen in GTK's dialog, or "" when the user cancels.
std::string runGtkChooser(const ChooserRequest& request, Fl_Window* owner);
