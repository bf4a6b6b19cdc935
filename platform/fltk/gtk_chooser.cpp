#include "platform/fltk/gtk_chooser.h"

#include "platform/backend.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The little of GLib's and GTK's types the hooks touch; FLTK has the libraries loaded, we
// only look the calls up in them.
using gboolean = int;
using gpointer = void*;
using GType = size_t;
struct GList {
    gpointer data;
    GList* next;
    GList* prev;
};
struct GSList {
    gpointer data;
    GSList* next;
};
struct GValue {
    GType type;
    uint64_t data[2];
};
struct GSignalInvocationHint;
struct GtkFileFilterInfo {
    int contains;
    const char* filename;
    const char* uri;
    const char* displayName;
    const char* mimeType;
};
using FilterFunc = gboolean (*)(const GtkFileFilterInfo*, gpointer);
using EmissionHook = gboolean (*)(GSignalInvocationHint*, unsigned, const GValue*, gpointer);

constexpr int kResponseAccept = -3;
constexpr int kMatchSignal = 1, kMatchUnblocked = 1 << 5;
constexpr int kFilterDisplayName = 1 << 2;
constexpr int kDialogModal = 1, kDialogDestroyWithParent = 2;
constexpr int kMessageWarning = 1, kButtonsOk = 1;
// Polls for the dialog before giving up: it is mapped before GTK's loop first runs.
constexpr int kDialogSearchLimit = 1000;

struct GtkCalls {
    unsigned (*idleAdd)(gboolean (*)(gpointer), gpointer);
    gboolean (*sourceRemove)(unsigned);
    GList* (*listToplevels)();
    void (*listFree)(GList*);
    void (*slistFree)(GSList*);
    void (*free)(gpointer);
    gboolean (*isA)(void*, GType);
    GType (*fileChooserType)();
    GType (*dialogType)();
    const char* (*windowTitle)(void*);
    GSList* (*listFilters)(void*);
    void (*removeFilter)(void*, void*);
    void (*addFilter)(void*, void*);
    void (*setFilter)(void*, void*);
    void* (*filterNew)();
    void (*filterSetName)(void*, const char*);
    void (*filterAddCustom)(void*, int, FilterFunc, gpointer, void (*)(gpointer));
    char* (*getFilename)(void*);
    unsigned (*signalLookup)(const char*, GType);
    unsigned long (*addEmissionHook)(unsigned, unsigned, EmissionHook, gpointer, void (*)(gpointer));
    void (*removeEmissionHook)(unsigned, unsigned long);
    void* (*valueGetObject)(const GValue*);
    int (*valueGetInt)(const GValue*);
    unsigned long (*handlerFind)(void*, int, unsigned, unsigned, void*, void*, void*);
    void (*handlerBlock)(void*, unsigned long);
    void (*handlerUnblock)(void*, unsigned long);
    void* (*messageDialogNew)(void*, int, int, int, const char*, ...);
    void (*windowSetTitle)(void*, const char*);
    int (*dialogRun)(void*);
    void (*widgetDestroy)(void*);
};

// The hook of the one chooser that can be up at a time (it is modal).
struct HookState {
    GtkCalls gtk;
    const ChooserRequest* request; // null when nothing is hooked
    void* dialog;                  // the GtkFileChooserDialog once found
    unsigned idleSource;
    int searches;
    unsigned responseSignal;
    unsigned long responseHook;
    unsigned long heldHandler; // FLTK's response handler, held back after a refused Open
    std::string refusal;       // the message for it
    unsigned refusalSource;
};
HookState hook;

void* loadedGtk() {
    for (const char* name : {"libgtk-x11-2.0.so.0", "libgtk-3.so.0"})
        if (void* library = dlopen(name, RTLD_LAZY | RTLD_NOLOAD))
            return library;
    return nullptr;
}

template <typename Call> bool lookUp(void* library, const char* name, Call& call) {
    call = reinterpret_cast<Call>(dlsym(library, name));
    return call != nullptr;
}

bool loadCalls(GtkCalls& g) {
    void* l = loadedGtk();
    if (!l)
        return false;
    // GLib and GObject come with GTK, so the one handle finds their calls too.
    const bool found =
        lookUp(l, "g_idle_add", g.idleAdd) && lookUp(l, "g_source_remove", g.sourceRemove) &&
        lookUp(l, "gtk_window_list_toplevels", g.listToplevels) &&
        lookUp(l, "g_list_free", g.listFree) && lookUp(l, "g_slist_free", g.slistFree) &&
        lookUp(l, "g_free", g.free) && lookUp(l, "g_type_check_instance_is_a", g.isA) &&
        lookUp(l, "gtk_file_chooser_get_type", g.fileChooserType) &&
        lookUp(l, "gtk_dialog_get_type", g.dialogType) &&
        lookUp(l, "gtk_window_get_title", g.windowTitle) &&
        lookUp(l, "gtk_file_chooser_list_filters", g.listFilters) &&
        lookUp(l, "gtk_file_chooser_remove_filter", g.removeFilter) &&
        lookUp(l, "gtk_file_chooser_add_filter", g.addFilter) &&
        lookUp(l, "gtk_file_chooser_set_filter", g.setFilter) &&
        lookUp(l, "gtk_file_filter_new", g.filterNew) &&
        lookUp(l, "gtk_file_filter_set_name", g.filterSetName) &&
        lookUp(l, "gtk_file_filter_add_custom", g.filterAddCustom) &&
        lookUp(l, "gtk_file_chooser_get_filename", g.getFilename) &&
        lookUp(l, "g_signal_lookup", g.signalLookup) &&
        lookUp(l, "g_signal_add_emission_hook", g.addEmissionHook) &&
        lookUp(l, "g_signal_remove_emission_hook", g.removeEmissionHook) &&
        lookUp(l, "g_value_get_object", g.valueGetObject) &&
        lookUp(l, "g_value_get_int", g.valueGetInt) &&
        lookUp(l, "g_signal_handler_find", g.handlerFind) &&
        lookUp(l, "g_signal_handler_block", g.handlerBlock) &&
        lookUp(l, "g_signal_handler_unblock", g.handlerUnblock) &&
        lookUp(l, "gtk_message_dialog_new", g.messageDialogNew) &&
        lookUp(l, "gtk_window_set_title", g.windowSetTitle) &&
        lookUp(l, "gtk_dialog_run", g.dialogRun) &&
        lookUp(l, "gtk_widget_destroy", g.widgetDestroy);
    dlclose(l); // FLTK keeps the library loaded
    return found;
}

gboolean passesFilter(const GtkFileFilterInfo* info, gpointer filter) {
    const char* name = info->displayName ? info->displayName : info->filename;
    return name && filterMatches(*static_cast<const ChooserFilter*>(filter), name);
}

// After a refused Open: the platform's message over the dialog, then FLTK hears responses
// again. Run once the response is over, since a dialog run from inside its emission leaves the
// chooser deaf to input afterwards.
gboolean showRefusal(gpointer) {
    const GtkCalls& g = hook.gtk;
    void* box = g.messageDialogNew(hook.dialog, kDialogModal | kDialogDestroyWithParent,
                                   kMessageWarning, kButtonsOk, "%s", hook.refusal.c_str());
    g.windowSetTitle(box, hook.request->title.c_str());
    g.dialogRun(box);
    g.widgetDestroy(box);
    g.handlerUnblock(hook.dialog, hook.heldHandler);
    hook.heldHandler = 0;
    hook.refusalSource = 0;
    return FALSE;
}

// Holds back the response's last connected handler, FLTK's (GTK connects its own when it makes
// the dialog), which would end the dialog.
void holdFltkResponse() {
    const GtkCalls& g = hook.gtk;
    std::vector<unsigned long> handlers;
    while (unsigned long id = g.handlerFind(hook.dialog, kMatchSignal | kMatchUnblocked,
                                            hook.responseSignal, 0, nullptr, nullptr, nullptr)) {
        g.handlerBlock(hook.dialog, id);
        handlers.push_back(id);
    }
    if (handlers.empty())
        return;
    const unsigned long last = *std::max_element(handlers.begin(), handlers.end());
    for (unsigned long id : handlers)
        if (id != last)
            g.handlerUnblock(hook.dialog, id);
    hook.heldHandler = last;
}

// Open on a name the request refuses: the response goes by unheard by FLTK, and the message
// follows.
gboolean onResponse(GSignalInvocationHint*, unsigned count, const GValue* values, gpointer) {
    const GtkCalls& g = hook.gtk;
    if (!hook.request || hook.heldHandler || count < 2 ||
        g.valueGetObject(&values[0]) != hook.dialog || g.valueGetInt(&values[1]) != kResponseAccept) {
        return TRUE;
    }
    char* name = g.getFilename(hook.dialog);
    if (!name)
        return TRUE;
    hook.refusal =
        chosenPathRefusal(*hook.request->record, chosenPath(*hook.request->record, name));
    g.free(name);
    if (hook.refusal.empty())
        return TRUE;
    // A hook cannot stop the emission itself.
    holdFltkResponse();
    if (hook.heldHandler)
        hook.refusalSource = g.idleAdd(showRefusal, nullptr);
    return TRUE;
}

void* findDialog() {
    const GtkCalls& g = hook.gtk;
    void* found = nullptr;
    GList* windows = g.listToplevels();
    for (GList* w = windows; w && !found; w = w->next) {
        const char* title = g.windowTitle(w->data);
        if (g.isA(w->data, g.fileChooserType()) && title && hook.request->title == title)
            found = w->data;
    }
    g.listFree(windows);
    return found;
}

void setFilters(void* dialog) {
    const GtkCalls& g = hook.gtk;
    GSList* existing = g.listFilters(dialog);
    for (GSList* f = existing; f; f = f->next)
        g.removeFilter(dialog, f->data);
    g.slistFree(existing);
    void* first = nullptr;
    for (const ChooserFilter& filter : hook.request->filters) {
        void* made = g.filterNew();
        g.filterSetName(made, filter.text.c_str());
        g.filterAddCustom(made, kFilterDisplayName, passesFilter,
                          const_cast<ChooserFilter*>(&filter), nullptr);
        g.addFilter(dialog, made);
        if (!first)
            first = made;
    }
    if (first)
        g.setFilter(dialog, first);
}

gboolean onIdle(gpointer) {
    if (!hook.request)
        return FALSE;
    void* dialog = findDialog();
    if (!dialog && ++hook.searches < kDialogSearchLimit)
        return TRUE;
    hook.idleSource = 0;
    if (!dialog)
        return FALSE;
    hook.dialog = dialog;
    setFilters(dialog);
    // The dialog class exists now, and with it its response signal.
    hook.responseSignal = hook.gtk.signalLookup("response", hook.gtk.dialogType());
    if (hook.responseSignal)
        hook.responseHook =
            hook.gtk.addEmissionHook(hook.responseSignal, 0, onResponse, nullptr, nullptr);
    return FALSE;
}

} // namespace

bool hookGtkChooser(const ChooserRequest& request) {
    unhookGtkChooser();
    if (!loadCalls(hook.gtk))
        return false;
    hook.request = &request;
    hook.searches = 0;
    hook.idleSource = hook.gtk.idleAdd(onIdle, nullptr);
    return true;
}

void unhookGtkChooser() {
    if (!hook.request)
        return;
    if (hook.idleSource)
        hook.gtk.sourceRemove(hook.idleSource);
    if (hook.refusalSource)
        hook.gtk.sourceRemove(hook.refusalSource);
    if (hook.heldHandler)
        hook.gtk.handlerUnblock(hook.dialog, hook.heldHandler);
    if (hook.responseHook)
        hook.gtk.removeEmissionHook(hook.responseSignal, hook.responseHook);
    hook = HookState{};
}
