#include "export/png_writer.h"

#include <png.h>

#include <cstdio>

namespace {

struct PngTarget {
    std::FILE* file = nullptr;
    char message[256] = {};
};

void OnPngError(png_structp png, png_const_charp text) {
    auto* target = static_cast<PngTarget*>(png_get_error_ptr(png));
    std::snprintf(target->message, sizeof target->message, "%s", text);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// libpng reports failures by longjmp: nothing in this frame has a destructor, and nothing
// set after setjmp is read after the jump.
bool EncodePng(PngTarget* target, const PngPicture& picture) {
    png_color colours[256];
    png_byte alpha[256];
    if (picture.Indexed()) {
        for (int i = 0; i < 256; ++i) {
            colours[i].red = picture.palette[i * 3];
            colours[i].green = picture.palette[i * 3 + 1];
            colours[i].blue = picture.palette[i * 3 + 2];
            alpha[i] = 255;
        }
        if (picture.transparentIndex) alpha[*picture.transparentIndex] = 0;
    }
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, target, OnPngError, OnPngWarning);
    if (png == nullptr) {
        std::snprintf(target->message, sizeof target->message, "Out of memory.");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(target->message, sizeof target->message, "Out of memory.");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, target->file);
    // Level 4 rather than zlib's 6: on the frames of these games it writes at most a tenth
    // more bytes in well under two thirds of the time (bench/deflate_bench.cpp measures it).
    png_set_compression_level(png, 4);
    png_set_IHDR(png, info, picture.width, picture.height, 8,
                 picture.Indexed() ? PNG_COLOR_TYPE_PALETTE
                 : picture.alpha   ? PNG_COLOR_TYPE_RGB_ALPHA
                                   : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (picture.Indexed()) {
        png_set_PLTE(png, info, colours, 256);
        // tRNS only needs to reach the transparent entry; the entries after it stay opaque.
        if (picture.transparentIndex) {
            png_set_tRNS(png, info, alpha, *picture.transparentIndex + 1, nullptr);
        }
    }
    png_write_info(png, info);
    for (uint32_t row = 0; row < picture.height; ++row) {
        png_write_row(png, picture.rowAt(row));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(std::FILE* file, const PngPicture& picture, std::string* error) {
    PngTarget target;
    target.file = file;
    if (EncodePng(&target, picture)) return true;
    *error = target.message;
    return false;
}
