#include "export/palette_writer.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr int kEntries = 256;

void PutGpl(std::FILE* file, const uint8_t* palette, const std::string& name) {
    std::fprintf(file, "GIMP Palette\nName: %s\nColumns: 16\n#\n", name.c_str());
    for (int i = 0; i < kEntries; ++i) {
        const uint8_t* rgb = palette + i * 3;
        std::fprintf(file, "%3u %3u %3u\tIndex %d\n", rgb[0], rgb[1], rgb[2], i);
    }
}

// The text form Paint Shop Pro wrote, with its Windows line ends.
void PutPal(std::FILE* file, const uint8_t* palette) {
    std::fprintf(file, "JASC-PAL\r\n0100\r\n%d\r\n", kEntries);
    for (int i = 0; i < kEntries; ++i) {
        const uint8_t* rgb = palette + i * 3;
        std::fprintf(file, "%u %u %u\r\n", rgb[0], rgb[1], rgb[2]);
    }
}

// 768 bytes of colours, then the entry count and the transparent index (0xFFFF: none),
// both 16-bit big-endian.
void PutAct(std::FILE* file, const uint8_t* palette, std::optional<uint8_t> transparentIndex) {
    std::fwrite(palette, 3, kEntries, file);
    const uint16_t transparent = transparentIndex ? *transparentIndex : 0xFFFF;
    const uint8_t tail[4] = {kEntries >> 8, kEntries & 0xFF, static_cast<uint8_t>(transparent >> 8),
                             static_cast<uint8_t>(transparent & 0xFF)};
    std::fwrite(tail, 1, sizeof tail, file);
}

}  // namespace

const char* PaletteExtension(PaletteFormat format) {
    switch (format) {
        case PaletteFormat::Gpl:
            return "gpl";
        case PaletteFormat::Pal:
            return "pal";
        case PaletteFormat::Act:
            return "act";
    }
    return "";
}

bool WritePalette(std::FILE* file, PaletteFormat format, const uint8_t* palette,
                  const std::string& name, std::optional<uint8_t> transparentIndex,
                  std::string* error) {
    switch (format) {
        case PaletteFormat::Gpl:
            PutGpl(file, palette, name);
            break;
        case PaletteFormat::Pal:
            PutPal(file, palette);
            break;
        case PaletteFormat::Act:
            PutAct(file, palette, transparentIndex);
            break;
    }
    if (std::ferror(file) == 0) return true;
    *error = std::strerror(errno);
    return false;
}
