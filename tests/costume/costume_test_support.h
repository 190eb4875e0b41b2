// Builds costume blocks by hand, sub-block by sub-block, so that tests can forge any layout,
// and runs a block through Parse, SelectFrame and Render the way the viewer does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "costume/costume.h"
#include "display/indexed_image.h"

struct SubBlock {
    std::string tag;  // four characters
    std::vector<uint8_t> payload;
};

std::vector<uint8_t> U16(uint16_t value);
std::vector<uint8_t> U32(uint32_t value);
std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts);

// A VERM block of these sub-blocks, in this order.
std::vector<uint8_t> RawBlock(const std::vector<SubBlock>& subBlocks);

// The sub-blocks of a one-frame costume: VECD holds `data` and comes last, so that the data
// ends where the block does.
std::vector<SubBlock> OneFrame(uint16_t codec, uint32_t colourCount, uint16_t width,
                               uint16_t height, const std::vector<uint8_t>& data);

struct Rendered {
    bool ok = false;
    std::vector<std::string> errors;  // every message, in order
    IndexedImage image;
};

// Parses a copy of `block` that is exactly its size (so that the sanitizer sees any read
// past it), selects `frame` and renders it at (0, 0).
Rendered RenderFrame(const std::vector<uint8_t>& block, uint16_t frame = 1);

// Decodes `data` with the function of `codec` (1, 5 or 16) into width x height pixels that
// held `fill` before. The data sits in a buffer of exactly its size, so that the sanitizer
// sees any read past it, and the pixels between guard bytes: a write outside them fails the
// calling test.
std::vector<uint8_t> DecodeWith(uint16_t codec, const std::vector<uint8_t>& data,
                                uint32_t colourCount, uint16_t width, uint16_t height,
                                uint8_t fill = 0xEE);
