// The program icon, drawn by the program's own code so that every front-end shows the same
// picture: a little costumed figure standing in a frame of film, as 8-bit pixel art. The
// Win32 front-end writes it into its .ico; the GTK one hands the RGBA form to the window.
#pragma once

#include <cstdint>
#include <vector>

struct ProgramIcon {
    static constexpr uint8_t kTransparent = 0;  // the index that lets the background through
    static constexpr uint32_t kColourCount = 256;

    uint16_t size = 0;             // width and height in pixels
    std::vector<uint8_t> pixels;   // size x size colour indices, top row first
    std::vector<uint8_t> palette;  // kColourCount x (red, green, blue); unused entries black

    // Draws the icon at one of kThemeIconSizes; false, and nothing drawn, for any other.
    bool Draw(uint16_t size);
    // Red, green, blue and alpha per pixel, top row first: alpha 0 where the index is
    // kTransparent, 255 elsewhere.
    std::vector<uint8_t> Rgba() const;
};

// The sizes the program carries in its window and its .ico, largest first.
inline constexpr uint16_t kProgramIconSizes[] = {48, 32, 16};
// The sizes installed into the desktop's icon theme, largest first: the window's and the
// large ones that icon views and software centres show.
inline constexpr uint16_t kThemeIconSizes[] = {256, 128, 64, 48, 32, 16};
