// The front-end functions on GTK: modal dialogs over the main window, repaints queued on its
// drawing area, and the end of GTK's main loop.
#include <gtk/gtk.h>

#include <cstdio>

#include "app/frontend.h"
#include "frontends/gtk/chooser_path.h"
#include "frontends/gtk/index_file_filter.h"
#include "frontends/gtk/main_window.h"

void FrontendShowError(const char* text) {
    // Messages may carry bytes from a game file (a block's tag), which GTK takes only as UTF-8.
    gchar* valid = g_utf8_make_valid(text, -1);
    const auto flags =
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT);
    GtkWidget* dialog = gtk_message_dialog_new(g_gtkMain.Owner(), flags, GTK_MESSAGE_ERROR,
                                               GTK_BUTTONS_OK, "%s", valid);
    g_free(valid);
    // The core's message stays the box's first line; the file and the reason, when the core
    // knows them, go below it.
    if (const FileErrorDetail* detail = ReportedFileDetail()) {
        gchar* file = g_filename_display_name(detail->path.c_str());
        gchar* reason = g_utf8_make_valid(detail->reason.c_str(), -1);
        gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s: %s", file,
                                                 reason);
        g_free(reason);
        g_free(file);
    }
    gtk_window_set_title(GTK_WINDOW(dialog), "Error");
    // GTK 3 message dialogs no longer show their type's icon unless given one.
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkWidget* icon = gtk_image_new_from_icon_name("dialog-error", GTK_ICON_SIZE_DIALOG);
    gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(dialog), icon);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_widget_show(icon);
    g_gtkMain.RunModal(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
}

namespace {

// GTK's open dialog accepts a typed name that names no file; like the Windows one, it says
// so and stays open instead.
void ShowFileNotFound(GtkWindow* chooser, const char* path) {
    gchar* name = g_filename_display_basename(path);
    GtkWidget* note = gtk_message_dialog_new(chooser, GTK_DIALOG_MODAL, GTK_MESSAGE_WARNING,
                                             GTK_BUTTONS_OK, "%s", name);
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(note),
                                             "No such file. Check the name and try again.");
    g_free(name);
    gtk_window_set_title(GTK_WINDOW(note), "Open");
    g_gtkMain.RunModal(GTK_DIALOG(note));
    gtk_widget_destroy(note);
}

}  // namespace

bool FrontendChooseIndexFile(ChosenFile* choice) {
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        "Open", g_gtkMain.Owner(), GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel", GTK_RESPONSE_CANCEL,
        "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_file_chooser_add_filter(chooser, NewIndexFileFilter());
    gtk_file_chooser_set_local_only(chooser, TRUE);
    gchar* here = g_get_current_dir();
    gtk_file_chooser_set_current_folder(chooser, here);
    g_free(here);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);

    gchar* path = nullptr;
    while (path == nullptr && g_gtkMain.RunModal(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        path = gtk_file_chooser_get_filename(chooser);
        if (path != nullptr && !g_file_test(path, G_FILE_TEST_IS_REGULAR)) {
            ShowFileNotFound(GTK_WINDOW(dialog), path);
            g_clear_pointer(&path, g_free);
        }
    }
    gtk_widget_destroy(dialog);
    if (path == nullptr) return false;
    *choice = ChosenFileFromChooserPath(path);
    g_free(path);
    return true;
}

void FrontendRepaint(const ScreenRect& rect) {
    if (g_gtkMain.area == nullptr || rect.Empty()) return;
    gtk_widget_queue_draw_area(g_gtkMain.area, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top);
}

void FrontendDestroyWindow() {
    if (g_gtkMain.window != nullptr) gtk_widget_destroy(g_gtkMain.window);
}

void FrontendQuit(int exitCode) {
    g_gtkMain.exitCode = exitCode;
    gtk_main_quit();
}
