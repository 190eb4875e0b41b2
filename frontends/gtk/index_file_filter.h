// The open dialog's one filter: the three kinds of index file name, in any letter case, as
// the Windows dialog's patterns match them.
#pragma once

#include <gtk/gtk.h>

// A floating reference, for gtk_file_chooser_add_filter to take.
GtkFileFilter* NewIndexFileFilter();
