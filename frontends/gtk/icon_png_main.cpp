// Writes the program icon as DIR/NxN/apps/duzuroro.png for each of kThemeIconSizes: the
// layout of an icon theme, so that the install rules copy DIR into hicolor as it is.
#include <glib/gstdio.h>

#include <cstdio>
#include <string>

#include "app/program_icon.h"
#include "frontends/gtk/icon_pixbuf.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    for (uint16_t size : kThemeIconSizes) {
        const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
        const std::string directory = std::string(argv[1]) + "/" + sizeName + "/apps";
        const std::string path = directory + "/duzuroro.png";
        GdkPixbuf* pixbuf = NewIconPixbuf(size);
        GError* error = nullptr;
        const bool written = pixbuf != nullptr &&
                             g_mkdir_with_parents(directory.c_str(), 0755) == 0 &&
                             gdk_pixbuf_save(pixbuf, path.c_str(), "png", &error, nullptr);
        if (pixbuf != nullptr) g_object_unref(pixbuf);
        if (!written) {
            std::fprintf(stderr, "%s: cannot write %s: %s\n", argv[0], path.c_str(),
                         error != nullptr ? error->message : "no icon of that size");
            if (error != nullptr) g_error_free(error);
            return 1;
        }
    }
    return 0;
}
