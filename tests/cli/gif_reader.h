// Reads a GIF file back with giflib, as a viewer would find it: the logical screen, the
// global colour table, the looping extension and each frame with its control block.
#pragma once

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
        std::vector<uint8_t> pixels;
    };
    std::vector<Frame> frames;
};

// False with `error` set when giflib cannot read the file.
bool ReadGif(const std::filesystem::path& path, GifContents* contents, std::string* error);
