// PNG files of the two kinds the tool writes: 8-bit indexed with the whole 256-entry palette
// (and, when asked, one fully transparent entry), and 8-bit RGB.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

struct PngPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    const uint8_t* pixels = nullptr;   // rows top first: width bytes, or 3 x width for RGB
    const uint8_t* palette = nullptr;  // 256 x (red, green, blue); null for an RGB picture
    std::optional<uint8_t> transparentIndex;

    bool Indexed() const { return palette != nullptr; }
};

// Writes the picture to `path`, replacing the file. False with `error` set, and no file
// left behind, when it cannot be written.
bool WritePng(const std::filesystem::path& path, const PngPicture& picture, std::string* error);
