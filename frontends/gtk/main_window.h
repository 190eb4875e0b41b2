// The desktop viewer's one window: a File menu over a 640 x 480 drawing area that shows the
// screen. It turns GTK's menu activations, key presses and draws into the shell's messages
// and nothing else.
#pragma once

#include <gtk/gtk.h>

struct GtkMainWindow {
    GtkWidget* window = nullptr;         // null once destroyed
    GtkWidget* area = nullptr;           // the drawing area, null with the window
    cairo_surface_t* picture = nullptr;  // 640 x 480 RGB24 that paints compose into
    int modalDepth = 0;                  // dialogs running over the window
    bool shellRunning = false;           // the shell hears of the window's destruction
    int exitCode = 0;

    // Builds the window, not yet shown; false when GTK cannot make the picture.
    bool Create();
    // Frees the picture and destroys a window that is still there, telling the shell nothing.
    void Release();
    // The owner for a dialog: the window while it exists, else null.
    GtkWindow* Owner() const;
    // Runs `dialog` modally over the window and returns its response.
    gint RunModal(GtkDialog* dialog);
};

extern GtkMainWindow g_gtkMain;
