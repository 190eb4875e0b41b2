// The plainest reading of each frame encoding: one pixel, one byte and one bit at a time, in
// the order the encoding describes. The decoders take longer strides (bit windows, whole
// runs, wide stores); the tests and the fuzz targets hold them to this reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ReferenceDecode {
    std::vector<uint8_t> pixels;  // width x height, rows from the top; 0 where data ran out
    size_t consumed = 0;          // bytes of the data that the reading looked at, from the start
    bool ranOut = false;          // the data ended before the image was full
};

ReferenceDecode ReferenceCodec1(const std::vector<uint8_t>& data, uint32_t colourCount,
                                size_t width, size_t height);
ReferenceDecode ReferenceCodec5(const std::vector<uint8_t>& data, size_t width, size_t height);
ReferenceDecode ReferenceCodec16(const std::vector<uint8_t>& data, size_t width, size_t height);
