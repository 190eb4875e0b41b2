// A costume: one VERM block split into its sub-blocks, with one frame selected at a time.
// The block belongs to its owner; every view here points into it and never past its end.
#pragma once

#include <cstdint>

#include "common/byte_view.h"
#include "costume/shown_area.h"
#include "display/indexed_image.h"

struct Costume {
    ByteView block;  // the whole VERM block, header included; Parse cuts it to its declared size
    uint32_t colourCount = 0;                                 // length of the VEPL payload
    ByteView vehd, vepl, rgbs, vesq, vech, veof, veci, vecd;  // payloads; data null if absent
    uint16_t currentFrame = 0;                                // 0: no frame selected
    ByteView frameInfo;  // the selected frame's 4-byte size record in VECI
    ByteView frameData;  // from the selected frame's first encoded byte to the block's end

    explicit Costume(ByteView costumeBlock) : block(costumeBlock) {}

    bool Parse();
    bool SelectFrame(uint16_t frame);
    uint16_t FrameCount() const;
    uint16_t Codec() const;
    uint16_t FrameWidth() const;  // of the selected frame
    uint16_t FrameHeight() const;

    // Decode the selected frame into `pixels` (FrameWidth x FrameHeight bytes) with the
    // codec's own function. They never fail; pixels that the data does not reach are 0.
    // With `shown`, only that top-left part needs to be exact; the rest may be left 0.
    void DecodeFrameWithCodec1(uint8_t* pixels, ShownArea shown = {}) const;
    void DecodeFrameWithCodec5(uint8_t* pixels, ShownArea shown = {}) const;
    void DecodeFrameWithCodec16(uint8_t* pixels, ShownArea shown = {}) const;

    // The selected frame as an image at (x, y) with a 256-entry palette.
    bool Render(IndexedImage* image, int32_t x, int32_t y, ShownArea shown = {}) const;
};
