// Reads a PNG file back as it is stored: the palette indices or RGB bytes of its rows, its
// palette and its transparency entries, without any conversion. Test support for the
// programs that link libpng.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct PngContents {
    uint32_t width = 0;
    uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;            // PNG_COLOR_TYPE_*
    std::vector<uint8_t> palette;  // PLTE: red, green, blue per entry
    std::vector<uint8_t> alpha;    // tRNS entries of a palette image
    std::vector<uint8_t> pixels;   // rows top first, as stored
};

// False with `error` set when the file is not a PNG that libpng reads.
bool ReadPng(const std::filesystem::path& path, PngContents* contents, std::string* error);
bool ReadPngBytes(const uint8_t* bytes, size_t size, PngContents* contents, std::string* error);
