#include "frontends/gtk/index_file_filter.h"

GtkFileFilter* NewIndexFileFilter() {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, "SCUMM Index Files");
    // GTK's patterns are case-sensitive, while the Windows file system the names come from
    // is not: a bracket per letter takes both cases.
    gtk_file_filter_add_pattern(filter, "*.[Ll][Aa]0");
    gtk_file_filter_add_pattern(filter, "*.[Hh][Ee]0");
    gtk_file_filter_add_pattern(filter, "*.000");
    return filter;
}
