// The program icon as GTK takes it: one pixbuf per carried size, for the window and for the
// PNGs that the desktop's icon theme installs.
#pragma once

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <cstdint>

// A new reference, or null when `size` is not one of kThemeIconSizes.
GdkPixbuf* NewIconPixbuf(uint16_t size);
// Every carried size, largest first; free with g_list_free_full(list, g_object_unref).
GList* NewIconPixbufList();
