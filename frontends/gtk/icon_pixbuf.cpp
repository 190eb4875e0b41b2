#include "frontends/gtk/icon_pixbuf.h"

#include <cstring>
#include <vector>

#include "app/program_icon.h"

GdkPixbuf* NewIconPixbuf(uint16_t size) {
    ProgramIcon icon;
    if (!icon.Draw(size)) return nullptr;
    const std::vector<uint8_t> rgba = icon.Rgba();
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, size, size);
    if (pixbuf == nullptr) return nullptr;
    // The pixbuf's rows may be padded, so they are copied one by one.
    guchar* rows = gdk_pixbuf_get_pixels(pixbuf);
    const size_t stride = static_cast<size_t>(gdk_pixbuf_get_rowstride(pixbuf));
    for (size_t y = 0; y < size; ++y) {
        std::memcpy(rows + y * stride, rgba.data() + y * size * 4, size_t{size} * 4);
    }
    return pixbuf;
}

GList* NewIconPixbufList() {
    GList* list = nullptr;
    for (uint16_t size : kProgramIconSizes) {
        if (GdkPixbuf* pixbuf = NewIconPixbuf(size)) list = g_list_append(list, pixbuf);
    }
    return list;
}
