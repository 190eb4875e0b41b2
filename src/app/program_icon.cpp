#include "app/program_icon.h"

#include <cstddef>

namespace {

constexpr int kArtSize = 16;

// The picture at 16 x 16; the larger sizes are whole-number enlargements of it, which keeps
// the pixel-art look of the costumes the program shows. One character per pixel.
constexpr const char* kArt[kArtSize] = {
    ".KKKKKKKKKKKKKK.",  //
    "KWKBBBBBBBBBBKWK",  //
    "KKKBBBBHHBBBBKKK",  //
    "KWKBBBHHHHBBBKWK",  //
    "KKKBBHHHHHHBBKKK",  //
    "KWKBBBSSSSBBBKWK",  //
    "KKKBBBSSSSBBBKKK",  //
    "KWKBBRRRRRRBBKWK",  //
    "KKKBRRRYYRRRBKKK",  //
    "KWKBSBRRRRBSBKWK",  //
    "KKKBBBRRRRBBBKKK",  //
    "KWKBBBDDDDBBBKWK",  //
    "KKKBBBDBBDBBBKKK",  //
    "KWKGGGDGGDGGGKWK",  //
    "KKKGGHHGGHHGGKKK",  //
    ".KKKKKKKKKKKKKK.",  //
};

struct ArtColour {
    char key;
    uint8_t red, green, blue;
};

// Index i + 1 holds kColours[i]; index 0 is kTransparent.
constexpr ArtColour kColours[] = {
    {'K', 32, 32, 40},     // film
    {'W', 240, 240, 232},  // sprocket holes
    {'B', 96, 160, 224},   // sky
    {'S', 240, 192, 144},  // skin
    {'H', 120, 72, 32},    // hat and boots
    {'R', 200, 40, 40},    // coat
    {'Y', 248, 208, 64},   // buttons
    {'D', 40, 48, 120},    // trousers
    {'G', 72, 160, 72},    // grass
};

uint8_t IndexOf(char key) {
    for (size_t i = 0; i < sizeof kColours / sizeof kColours[0]; ++i) {
        if (kColours[i].key == key) return static_cast<uint8_t>(i + 1);
    }
    return ProgramIcon::kTransparent;
}

}  // namespace

bool ProgramIcon::Draw(uint16_t newSize) {
    bool known = false;
    for (uint16_t carried : kThemeIconSizes) known = known || carried == newSize;
    if (!known) return false;
    const int scale = newSize / kArtSize;
    size = newSize;
    pixels.assign(size_t{size} * size, kTransparent);
    palette.assign(size_t{kColourCount} * 3, 0);
    for (size_t i = 0; i < sizeof kColours / sizeof kColours[0]; ++i) {
        palette[(i + 1) * 3 + 0] = kColours[i].red;
        palette[(i + 1) * 3 + 1] = kColours[i].green;
        palette[(i + 1) * 3 + 2] = kColours[i].blue;
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            pixels[size_t(y) * size + size_t(x)] = IndexOf(kArt[y / scale][x / scale]);
        }
    }
    return true;
}

std::vector<uint8_t> ProgramIcon::Rgba() const {
    std::vector<uint8_t> rgba(pixels.size() * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint8_t* colour = &palette[size_t{pixels[i]} * 3];
        rgba[i * 4 + 0] = colour[0];
        rgba[i * 4 + 1] = colour[1];
        rgba[i * 4 + 2] = colour[2];
        rgba[i * 4 + 3] = pixels[i] == kTransparent ? 0 : 255;
    }
    return rgba;
}
