#include "support/png/png_reader.h"

#include <png.h>

#include <cstdio>

namespace {

struct PngSource {
    std::FILE* file = nullptr;
    char message[256] = {};
};

void OnError(png_structp png, png_const_charp text) {
    std::snprintf(static_cast<PngSource*>(png_get_error_ptr(png))->message, 256, "%s", text);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// libpng jumps out on failure: the frame holds nothing with a destructor that the jump
// would skip, and `contents` is filled in place.
bool Decode(PngSource* source, PngContents* contents) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, source, OnError, OnWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, source->file);
    png_read_info(png, info);
    contents->width = png_get_image_width(png, info);
    contents->height = png_get_image_height(png, info);
    contents->bitDepth = png_get_bit_depth(png, info);
    contents->colourType = png_get_color_type(png, info);
    png_colorp colours = nullptr;
    int colourCount = 0;
    if (png_get_PLTE(png, info, &colours, &colourCount) & PNG_INFO_PLTE) {
        for (int i = 0; i < colourCount; ++i) {
            contents->palette.insert(contents->palette.end(),
                                     {colours[i].red, colours[i].green, colours[i].blue});
        }
    }
    png_bytep alpha = nullptr;
    int alphaCount = 0;
    if (png_get_tRNS(png, info, &alpha, &alphaCount, nullptr) & PNG_INFO_tRNS) {
        contents->alpha.assign(alpha, alpha + alphaCount);
    }
    const size_t rowBytes = png_get_rowbytes(png, info);
    contents->pixels.resize(rowBytes * contents->height);
    for (uint32_t row = 0; row < contents->height; ++row) {
        png_read_row(png, &contents->pixels[row * rowBytes], nullptr);
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// Reads the opened file and closes it; `name` goes before libpng's message.
bool ReadOpened(std::FILE* file, const std::string& name, PngContents* contents,
                std::string* error) {
    PngSource source;
    source.file = file;
    *contents = PngContents{};
    const bool read = Decode(&source, contents);
    std::fclose(file);
    if (!read) *error = name + ": " + source.message;
    return read;
}

}  // namespace

bool ReadPng(const std::filesystem::path& path, PngContents* contents, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot open " + path.string();
        return false;
    }
    return ReadOpened(file, path.string(), contents, error);
}

bool ReadPngBytes(const uint8_t* bytes, size_t size, PngContents* contents, std::string* error) {
    // fmemopen refuses an empty buffer; an empty file is no PNG either.
    std::FILE* file = size == 0 ? nullptr : fmemopen(const_cast<uint8_t*>(bytes), size, "rb");
    if (file == nullptr) {
        *error = "no bytes to read";
        return false;
    }
    return ReadOpened(file, "PNG bytes", contents, error);
}
