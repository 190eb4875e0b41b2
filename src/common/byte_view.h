// A bounded, read-only view of bytes: the one way file data is parsed.
// Every read says whether the bytes were all there; nothing reads past `size`.
#pragma once

#include <cstddef>
#include <cstdint>

struct ByteView {
    const uint8_t* data = nullptr;
    size_t size = 0;

    // True when [offset, offset + length) lies inside the view, computed without overflow.
    bool Has(size_t offset, size_t length) const {
        return offset <= size && length <= size - offset;
    }

    bool ReadU8(size_t offset, uint8_t* out) const {
        if (!Has(offset, 1)) return false;
        *out = data[offset];
        return true;
    }

    bool ReadU16LE(size_t offset, uint16_t* out) const {
        if (!Has(offset, 2)) return false;
        *out = static_cast<uint16_t>(data[offset] | (data[offset + 1] << 8));
        return true;
    }

    bool ReadU32LE(size_t offset, uint32_t* out) const {
        if (!Has(offset, 4)) return false;
        *out = static_cast<uint32_t>(data[offset]) | static_cast<uint32_t>(data[offset + 1]) << 8 |
               static_cast<uint32_t>(data[offset + 2]) << 16 |
               static_cast<uint32_t>(data[offset + 3]) << 24;
        return true;
    }

    bool ReadU32BE(size_t offset, uint32_t* out) const {
        if (!Has(offset, 4)) return false;
        *out = static_cast<uint32_t>(data[offset]) << 24 |
               static_cast<uint32_t>(data[offset + 1]) << 16 |
               static_cast<uint32_t>(data[offset + 2]) << 8 |
               static_cast<uint32_t>(data[offset + 3]);
        return true;
    }

    // The `length` bytes from `offset`, or false when they are not all inside this view.
    bool Sub(size_t offset, size_t length, ByteView* out) const {
        if (!Has(offset, length)) return false;
        out->data = data + offset;
        out->size = length;
        return true;
    }

    // Everything from `offset` to the end (empty when offset is at or past the end).
    ByteView From(size_t offset) const {
        if (offset >= size) return ByteView{data + size, 0};
        return ByteView{data + offset, size - offset};
    }
};
