// The GTK dialog FLTK's native chooser shows, made to answer as the request asks. FLTK loads
// GTK at run time and builds the dialog itself; these hooks, run from GTK's own loop while it
// is up, put in the request's filters under their exact texts (FLTK's filter syntax would
// show its patterns in them and add "All Files"), and keep it open with the platform's message
// when Open is pressed on a name the request refuses.
//
// - [x] GTK 2 and GTK 3, whichever FLTK loaded (it tries GTK 2 first)
// - [ ] GTK 4: FLTK 1.3 never loads it
#pragma once

#include "platform/fltk/fltk_file_chooser.h"

// Hooks the next GTK file dialog titled request.title; false when GTK is not loaded.
bool hookGtkChooser(const ChooserRequest& request);
void unhookGtkChooser();
