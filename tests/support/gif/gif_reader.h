// Reads a GIF file back with giflib, as a viewer would find it: the logical screen, the
// global colour table, the looping extension and each frame with its control block; and
// composites the frames as a browser shows them, for tests to compare with what was
// rendered. Test support for the GIF tests and fuzz targets; links giflib.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct GifContents {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> palette;  // the global colour table: red, green, blue per entry
    int loopCount = -1;            // from the looping extension; 0 is for ever, -1 absent

    struct Frame {
        uint32_t left = 0, top = 0, width = 0, height = 0;
        bool localColours = false;
        int delay = -1;        // hundredths of a second; -1 without a control block
        int transparent = -1;  // the transparent index, or -1
        int disposal = 0;      // the control block's disposal method: 0 to 3
        std::vector<uint8_t> pixels;
    };
    std::vector<Frame> frames;
};

// False with `error` set when giflib cannot read the file.
bool ReadGif(const std::filesystem::path& path, GifContents* contents, std::string* error);
bool ReadGifBytes(const uint8_t* bytes, size_t size, GifContents* contents, std::string* error);

// Each frame as a browser shows it: the canvas starts clear, a frame paints its
// non-transparent pixels, then its disposal keeps the canvas (0, 1), clears the frame's
// rectangle (2) or puts back the canvas from before the frame (3). A pixel is an index of
// the colour table, or kGifClear.
constexpr uint16_t kGifClear = 256;
using GifShownFrame = std::vector<uint16_t>;  // rows top first, the logical screen's size

// False with `error` set when a frame leaves the screen, has local colours or paints an
// index beyond the colour table.
bool CompositeGif(const GifContents& contents, std::vector<GifShownFrame>* shown,
                  std::string* error);

// A shown frame in colours: 0xRRGGBB per pixel, or kGifClearColour. `palette` is 256 x RGB
// for a rendered frame, or the GIF's own table for a composited one.
constexpr uint32_t kGifClearColour = 0x1000000;
std::vector<uint32_t> ShownColours(const GifShownFrame& frame, const std::vector<uint8_t>& palette);
