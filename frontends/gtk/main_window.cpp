#include "frontends/gtk/main_window.h"

#include "app/shell.h"
#include "display/screen.h"
#include "frontends/gtk/icon_pixbuf.h"

GtkMainWindow g_gtkMain;

namespace {

struct KeyBinding {
    guint keyval;
    ShellKey key;
};

// The keypad's arrows count as arrows, as they do when Windows turns them into virtual keys;
// the main keyboard's plus and minus are not here and keep their usual meaning.
constexpr KeyBinding kKeys[] = {
    {GDK_KEY_Left, KEY_LEFT},   {GDK_KEY_KP_Left, KEY_LEFT},
    {GDK_KEY_Up, KEY_UP},       {GDK_KEY_KP_Up, KEY_UP},
    {GDK_KEY_Right, KEY_RIGHT}, {GDK_KEY_KP_Right, KEY_RIGHT},
    {GDK_KEY_Down, KEY_DOWN},   {GDK_KEY_KP_Down, KEY_DOWN},
    {GDK_KEY_KP_Add, KEY_ADD},  {GDK_KEY_KP_Subtract, KEY_SUBTRACT},
};

// Connected to the window itself, so it sees every key before the focused widget, the
// menu bar's mnemonics or the window's focus moves do; auto-repeat arrives as more presses.
gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer) {
    // With Alt held, a key belongs to the menus, as a system key does on Windows.
    if ((event->state & GDK_MOD1_MASK) != 0) return FALSE;
    for (const KeyBinding& binding : kKeys) {
        if (binding.keyval == event->keyval) {
            return ShellHandleMessage(MSG_KEYDOWN, binding.key, 0) ? TRUE : FALSE;
        }
    }
    return FALSE;
}

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer) {
    GdkRectangle clip;
    if (!gdk_cairo_get_clip_rectangle(cr, &clip)) return TRUE;
    cairo_surface_t* picture = g_gtkMain.picture;
    const PaintRequest request =
        PaintRequestFor(ScreenRect{clip.x, clip.y, clip.x + clip.width, clip.y + clip.height},
                        reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(picture)),
                        static_cast<size_t>(cairo_image_surface_get_stride(picture)) / 4);
    if (!request.rect.Empty()) {
        cairo_surface_flush(picture);
        ShellHandleMessage(MSG_PAINT, 0, reinterpret_cast<intptr_t>(&request));
        const ScreenRect& rect = request.rect;
        cairo_surface_mark_dirty_rectangle(picture, rect.left, rect.top, rect.right - rect.left,
                                           rect.bottom - rect.top);
    }
    // Nearest neighbour keeps the pixels sharp on a scaled (high-density) display.
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    return TRUE;
}

// A dialog is running over the window: its close box waits, as a disabled owner's does.
gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer) {
    return g_gtkMain.modalDepth > 0;
}

void OnDestroy(GtkWidget*, gpointer) {
    g_gtkMain.window = nullptr;
    g_gtkMain.area = nullptr;
    if (g_gtkMain.shellRunning) ShellHandleMessage(MSG_DESTROY, 0, 0);
}

void OnMenuCommand(GtkMenuItem*, gpointer command) {
    ShellHandleMessage(MSG_COMMAND, reinterpret_cast<uintptr_t>(command), 0);
}

GtkWidget* NewMenuItem(GtkWidget* menu, const char* label, uintptr_t command) {
    GtkWidget* item = gtk_menu_item_new_with_mnemonic(label);
    g_signal_connect(item, "activate", G_CALLBACK(OnMenuCommand),
                     reinterpret_cast<gpointer>(command));
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
    return item;
}

GtkWidget* NewMenuBar() {
    GtkWidget* fileMenu = gtk_menu_new();
    NewMenuItem(fileMenu, "_Open", CMD_OPEN);
    NewMenuItem(fileMenu, "E_xit", CMD_EXIT);
    GtkWidget* file = gtk_menu_item_new_with_mnemonic("_File");
    gtk_menu_item_set_submenu(GTK_MENU_ITEM(file), fileMenu);
    GtkWidget* bar = gtk_menu_bar_new();
    gtk_menu_shell_append(GTK_MENU_SHELL(bar), file);
    return bar;
}

}  // namespace

bool GtkMainWindow::Create() {
    picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, Screen::kWidth, Screen::kHeight);
    if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) {
        Release();
        return false;
    }
    window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "DuzuRoro");
    // Not resizable: GTK then asks the window manager for a fixed size, which also takes the
    // maximise button away.
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    GList* icons = NewIconPixbufList();
    gtk_window_set_icon_list(GTK_WINDOW(window), icons);
    g_list_free_full(icons, g_object_unref);

    area = gtk_drawing_area_new();
    gtk_widget_set_size_request(area, Screen::kWidth, Screen::kHeight);
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_box_pack_start(GTK_BOX(column), NewMenuBar(), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column), area, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(window), column);

    g_signal_connect(area, "draw", G_CALLBACK(OnDraw), nullptr);
    g_signal_connect(window, "key-press-event", G_CALLBACK(OnKeyPress), nullptr);
    g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), nullptr);
    g_signal_connect(window, "destroy", G_CALLBACK(OnDestroy), nullptr);
    return true;
}

void GtkMainWindow::Release() {
    shellRunning = false;
    if (window != nullptr) gtk_widget_destroy(window);
    if (picture != nullptr) cairo_surface_destroy(picture);
    picture = nullptr;
}

GtkWindow* GtkMainWindow::Owner() const {
    return window != nullptr ? GTK_WINDOW(window) : nullptr;
}

gint GtkMainWindow::RunModal(GtkDialog* dialog) {
    ++modalDepth;
    const gint response = gtk_dialog_run(dialog);
    --modalDepth;
    return response;
}
