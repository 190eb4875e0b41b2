// The string table of giflib's encoder, followed as the encoder builds it, code for code:
// what strings a row of pixels can go on with, and how many bytes the image would take.
// The writer weighs ways of writing a frame's pixels with it and hands only the smallest
// to giflib, which writes every byte of the file.
#pragma once

#include <cstdint>
#include <vector>

struct GifStringTable {
    static constexpr uint32_t kCodes = 4096;  // the encoder clears its table at 4095

    // A new image whose colour table has `colourBits` bits (the code size is at least 2).
    void Start(uint32_t colourBits);
    // The code of the string `prefix` followed by `pixel`, or -1 when the table lacks it.
    inline int32_t Find(uint32_t prefix, uint8_t pixel) const;
    // The code of the string matched so far, or -1 before the first pixel.
    int32_t Current() const { return current_; }
    inline void Put(uint8_t pixel);
    // Put of a pixel whose string `Find` has just given as `code`.
    void GoOn(int32_t code) { current_ = code; }
    void PutRow(const uint8_t* pixels, uint32_t count) {
        for (uint32_t i = 0; i < count; ++i) Put(pixels[i]);
    }
    // The bytes the image's data would take in the file: code size, sub-blocks, terminator.
    uint64_t Bytes() const;

private:
    static constexpr uint32_t kSlots = 8192;  // twice the codes, so that probes stay short

    void Output(uint32_t code);
    void Clear();
    static uint32_t Slot(uint32_t key) { return (key * 2654435761u) >> 19; }

    uint32_t minimumBits_ = 2;
    uint32_t clearCode_ = 4;
    uint32_t nextCode_ = 6;
    uint32_t codeBits_ = 3;
    uint32_t widerAt_ = 8;  // the code at which codes grow a bit
    int32_t current_ = -1;
    uint64_t bits_ = 0;
    // Open addressing over (prefix << 8 | pixel), a slot in one word: its generation (live
    // when it is the table's), the key and the code, so that a probe reads one place.
    uint64_t generation_ = 0;
    std::vector<uint64_t> slots_ = std::vector<uint64_t>(kSlots);
};

// Inline: the writer asks these once or more for every pixel.
inline int32_t GifStringTable::Find(uint32_t prefix, uint8_t pixel) const {
    const uint32_t key = prefix << 8 | pixel;
    for (uint32_t slot = Slot(key);; slot = (slot + 1) & (kSlots - 1)) {
        const uint64_t entry = slots_[slot];
        if (entry >> 32 != generation_) return -1;
        if ((entry >> 12 & 0xFFFFF) == key) return static_cast<int32_t>(entry & 0xFFF);
    }
}

inline void GifStringTable::Put(uint8_t pixel) {
    if (current_ < 0) {
        current_ = pixel;
        return;
    }
    const uint32_t prefix = static_cast<uint32_t>(current_);
    const int32_t found = Find(prefix, pixel);
    if (found >= 0) {
        current_ = found;
        return;
    }
    Output(prefix);
    current_ = pixel;
    if (nextCode_ >= kCodes - 1) {
        Output(clearCode_);
        Clear();
        return;
    }
    const uint32_t key = prefix << 8 | pixel;
    uint32_t slot = Slot(key);
    while (slots_[slot] >> 32 == generation_) slot = (slot + 1) & (kSlots - 1);
    slots_[slot] = generation_ << 32 | uint64_t{key} << 12 | nextCode_++;
}
