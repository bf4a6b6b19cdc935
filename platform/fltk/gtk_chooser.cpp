#include "platform/fltk/gtk_chooser.h"

#include "platform/backend.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>

namespace {

gboolean passesFilter(const GtkFileFilterInfo* info, gpointer filter) {
    return info->display_name &&
           filterMatches(*static_cast<const ChooserFilter*>(filter), info->display_name);
}

void addFilters(GtkFileChooser* chooser, const std::vector<ChooserFilter>& filters) {
    for (const ChooserFilter& filter : filters) {
        GtkFileFilter* made = gtk_file_filter_new();
        gtk_file_filter_set_name(made, filter.text.c_str());
        // One matching rule for both choosers: the platform's patterns, letters in either case.
        gtk_file_filter_add_custom(made, GTK_FILE_FILTER_DISPLAY_NAME, passesFilter,
                                   const_cast<ChooserFilter*>(&filter), nullptr);
        gtk_file_chooser_add_filter(chooser, made); // the first added is the one shown
    }
}

// The window manager keeps the dialog over the program's window; an X window of FLTK's is
// known to GDK only as a foreign window, which must outlive the dialog.
GdkWindow* makeTransientFor(GtkWidget* dialog, Fl_Window* owner) {
    GdkDisplay* display = gtk_widget_get_display(dialog);
    if (!owner || !owner->shown() || !GDK_IS_X11_DISPLAY(display))
        return nullptr;
    GdkWindow* ownerWindow = gdk_x11_window_foreign_new_for_display(display, fl_xid(owner));
    gtk_widget_realize(dialog);
    if (ownerWindow)
        gdk_window_set_transient_for(gtk_widget_get_window(dialog), ownerWindow);
    return ownerWindow;
}

// While GTK's loop runs, FLTK's windows still draw but take no input, as under a modal window.
int withoutInput(int event, Fl_Window* window) {
    switch (event) {
    case FL_PUSH:
    case FL_RELEASE:
    case FL_DRAG:
    case FL_MOVE:
    case FL_MOUSEWHEEL:
    case FL_KEYDOWN:
    case FL_KEYUP:
    case FL_SHORTCUT:
    case FL_CLOSE: return 0;
    default: return Fl::handle_(event, window);
    }
}

gboolean serveFltk(gint, GIOCondition, gpointer) {
    Fl::check();
    return G_SOURCE_CONTINUE;
}

void showRefusal(GtkWidget* chooser, const std::string& title, const std::string& refusal) {
    GtkWidget* box = gtk_message_dialog_new(
        GTK_WINDOW(chooser), GtkDialogFlags(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        GTK_MESSAGE_WARNING, GTK_BUTTONS_OK, "%s", refusal.c_str());
    gtk_window_set_title(GTK_WINDOW(box), title.c_str());
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

// Runs the dialog until it is cancelled or Open is pressed on a name the request takes.
std::string chooseIn(GtkWidget* dialog, const ChooserRequest& request) {
    while (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog));
        const std::string chosen = name ? name : "";
        g_free(name);
        if (chosen.empty())
            continue;
        const std::string refusal =
            chosenPathRefusal(*request.record, chosenPath(*request.record, chosen));
        if (refusal.empty())
            return chosen;
        showRefusal(dialog, request.title, refusal);
    }
    return "";
}

} // namespace

bool gtkChooserStarts() {
    static const bool started = [] {
        // The program's numbers are read and written in the C locale; GTK would switch to the
        // user's.
        gtk_disable_setlocale();
        return gtk_init_check(nullptr, nullptr) == TRUE;
    }();
    return started;
}

std::string runGtkChooser(const ChooserRequest& request, Fl_Window* owner) {
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        request.title.c_str(), nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
        GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog), request.folder.c_str());
    addFilters(GTK_FILE_CHOOSER(dialog), request.filters);
    GdkWindow* ownerWindow = makeTransientFor(dialog, owner);

    const Fl_Event_Dispatch fltkDispatch = Fl::event_dispatch();
    Fl::event_dispatch(withoutInput);
    const guint fltkEvents =
        fl_display ? g_unix_fd_add(ConnectionNumber(fl_display), G_IO_IN, serveFltk, nullptr) : 0;
    const std::string chosen = chooseIn(dialog, request);
    if (fltkEvents)
        g_source_remove(fltkEvents);
    Fl::event_dispatch(fltkDispatch);

    gtk_widget_destroy(dialog);
    if (ownerWindow)
        g_object_unref(ownerWindow);
    // The dialog leaves the screen before the program goes on.
    while (gtk_events_pending())
        gtk_main_iteration();
    return chosen;
}
