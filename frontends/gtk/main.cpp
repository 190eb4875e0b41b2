// duzuroro: the desktop viewer. GTK supplies the window, the dialogs and the message loop;
// the shell does the rest.
#include <gtk/gtk.h>

#include <cstdio>

#include "app/shell.h"
#include "frontends/gtk/main_window.h"

int main(int argc, char** argv) {
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr,
                     "duzuroro: cannot open the display (on a machine without one, "
                     "run it under xvfb-run).\n");
        return 1;
    }
    if (!g_gtkMain.Create()) return 1;
    if (!ShellStart()) {
        g_gtkMain.Release();
        ShellStop();
        return 1;
    }
    g_gtkMain.shellRunning = true;
    gtk_widget_show_all(g_gtkMain.window);
    gtk_main();
    ShellStop();
    g_gtkMain.Release();
    return g_gtkMain.exitCode;
}
