// Each codec function on hand-made data: the worked examples, the corners of each encoding,
// and data that ends before the image is full.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "costume/costume_test_support.h"

namespace {

struct DecodeCase {
    const char* behaviour;
    uint16_t codec;
    uint32_t colourCount;
    uint16_t width, height;
    std::vector<uint8_t> data;
    std::vector<uint8_t> pixels;  // row by row
};

std::vector<uint8_t> Repeated(size_t count, uint8_t value, std::vector<uint8_t> tail = {}) {
    std::vector<uint8_t> out(count, value);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

const DecodeCase kCases[] = {
    // codec 1
    {"codec 1 example: a run goes on into the next column and an empty run writes nothing",
     1,
     32,
     2,
     3,
     {0x2C, 0x08, 0x00, 0x3B},
     {5, 5, 5, 7, 5, 7}},
    {"codec 1 with 64 colours has 2 length bits", 1, 64, 1, 1, {0x15}, {5}},
    {"codec 1 with 16 colours has 4 length bits", 1, 16, 1, 3, {0x53}, {5, 5, 5}},
    {"codec 1 with 128 colours splits like 16", 1, 128, 1, 3, {0x53}, {5, 5, 5}},
    {"codec 1 with 256 colours splits like 16", 1, 256, 1, 3, {0x53}, {5, 5, 5}},
    {"codec 1 with no colours splits like 16", 1, 0, 1, 3, {0x53}, {5, 5, 5}},
    {"codec 1 length byte may hold a short length", 1, 16, 1, 3, {0x50, 0x03}, {5, 5, 5}},
    {"codec 1 length byte reaches 255", 1, 16, 255, 1, {0x70, 0xFF}, Repeated(255, 7)},
    {"codec 1 run longer than the image ends the decode", 1, 16, 2, 2, {0x1F, 0x2F}, {1, 1, 1, 1}},
    {"codec 1 data that ends leaves the rest 0", 1, 16, 2, 2, {0x13}, {1, 1, 1, 0}},
    {"codec 1 missing length byte ends the decode", 1, 16, 2, 2, {0x13, 0x20}, {1, 1, 1, 0}},
    {"codec 1 without data is all 0", 1, 16, 2, 1, {}, {0, 0}},
    {"codec 1 width 0 writes nothing", 1, 16, 0, 3, {0x13}, {}},
    {"codec 1 height 0 writes nothing", 1, 16, 3, 0, {0x13}, {}},
    // codec 5
    {"codec 5 example: fill, literal, a cut fill and a skipped byte",
     5,
     0,
     4,
     2,
     {0x05, 0x00, 0x03, 0x09, 0x02, 0x0A, 0x0B, 0x03, 0x00, 0x0F, 0x03, 0xFF},
     {9, 9, 10, 11, 3, 3, 3, 3}},
    {"codec 5 literal cut at the row end uses only its pixels' bytes",
     5,
     0,
     3,
     2,
     {0x04, 0x00, 0x06, 0x01, 0x02, 0x03, 0x02, 0x00, 0x05, 0x08},
     {1, 2, 3, 8, 8, 8}},
    {"codec 5 short row length: runs read on, next row still at L + 2",
     5,
     0,
     4,
     2,
     {0x02, 0x00, 0x03, 0x05, 0x03, 0x06, 0x07, 0x09},
     {5, 5, 6, 6, 9, 9, 9, 9}},
    {"codec 5 fill of 128",
     5,
     0,
     130,
     1,
     {0x04, 0x00, 0xFF, 0x02, 0x03, 0x03},
     Repeated(128, 2, {3, 3})},
    {"codec 5 literal that ends early keeps what is there",
     5,
     0,
     4,
     1,
     {0x05, 0x00, 0x06, 0x01, 0x02},
     {1, 2, 0, 0}},
    {"codec 5 missing row record leaves the row 0",
     5,
     0,
     2,
     2,
     {0x02, 0x00, 0x03, 0x04},
     {4, 4, 0, 0}},
    {"codec 5 fill without its colour byte", 5, 0, 2, 1, {0x02, 0x00, 0x03}, {0, 0}},
    {"codec 5 half a row length", 5, 0, 2, 1, {0x02}, {0, 0}},
    {"codec 5 row length pointing past the block", 5, 0, 1, 2, {0x10, 0x00, 0x01, 0x05}, {5, 0}},
    {"codec 5 width 0 writes nothing", 5, 0, 0, 2, {0x00, 0x00}, {}},
    // codec 16
    {"codec 16 example: new colour, repeat into the next row",
     16,
     0,
     4,
     2,
     {0x05, 0x10, 0x3A, 0x73, 0x00},
     {16, 16, 7, 7, 7, 7, 7, 7}},
    {"codec 16 one pixel", 16, 0, 1, 1, {0x03, 0x2A, 0x00}, {42}},
    {"codec 16 one pixel needs no code after it", 16, 0, 1, 1, {0x03, 0x2A}, {42}},
    {"codec 16 with N 0 a new colour is 0", 16, 0, 2, 1, {0x00, 0x09, 0x01}, {9, 0}},
    {"codec 16 with N above 8 drops the extra bits",
     16,
     0,
     3,
     1,
     {0x0A, 0x00, 0xA9, 0x0C},
     {0, 42, 42}},
    {"codec 16 steps the colour up and down", 16, 0, 3, 1, {0x08, 0x0A, 0x7F, 0x00}, {10, 13, 9}},
    {"codec 16 steps wrap around", 16, 0, 2, 1, {0x08, 0x01, 0x03}, {1, 253}},
    {"codec 16 repeat of 0 is 256 pixels",
     16,
     0,
     258,
     1,
     {0x08, 0x05, 0x13, 0xA0, 0x03},
     Repeated(257, 5, {7})},
    {"codec 16 repeat of 1 is one pixel", 16, 0, 3, 1, {0x08, 0x05, 0x33, 0xA0, 0x04}, {5, 5, 9}},
    {"codec 16 repeat is cut at the image end", 16, 0, 2, 1, {0x08, 0x05, 0x53, 0x01}, {5, 5}},
    {"codec 16 code cut by the block end", 16, 0, 3, 1, {0x08, 0x05, 0x01}, {5, 0, 0}},
    {"codec 16 header only", 16, 0, 2, 1, {0x08, 0x05}, {5, 0}},
    {"codec 16 half a header", 16, 0, 2, 1, {0x08}, {0, 0}},
    {"codec 16 height 0 writes nothing", 16, 0, 2, 0, {0x08, 0x05}, {}},
};

// Each decoder writes every pixel itself and nothing outside them: what the buffer held
// before never shows.
TEST(CodecDecode, GivesExactPixels) {
    for (const DecodeCase& c : kCases) {
        SCOPED_TRACE(c.behaviour);
        for (const uint8_t fill : {uint8_t{0x00}, uint8_t{0xEE}}) {
            EXPECT_EQ(DecodeWith(c.codec, c.data, c.colourCount, c.width, c.height, fill),
                      c.pixels);
        }
    }
}

}  // namespace
