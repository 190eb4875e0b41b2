#include "frontends/gtk/index_file_filter.h"

#include <string>

#include "app/chosen_file.h"

GtkFileFilter* NewIndexFileFilter() {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, kIndexFileFilterName);
    // GTK's patterns are case-sensitive, while the Windows file system the names come from
    // is not: a bracket per letter takes both cases.
    for (const char* extension : kIndexFileExtensions) {
        std::string pattern = "*.";
        for (const char* c = extension; *c != '\0'; ++c) {
            if (g_ascii_isalpha(*c)) {
                pattern += {'[', g_ascii_toupper(*c), g_ascii_tolower(*c), ']'};
            } else {
                pattern += *c;
            }
        }
        gtk_file_filter_add_pattern(filter, pattern.c_str());
    }
    return filter;
}
