// The encoders and the block builder against the decoders: every image comes back as it went
// in, the output is really compressed, and what an encoding cannot hold is refused.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "authoring/costume_builder.h"
#include "costume/costume_test_support.h"
#include "frontends/headless/headless_frontend.h"

namespace {

enum class Shape { kNoise, kRuns, kUniform, kColumns, kRows, kWalk };

// An image of `shape` with colours below `limit` (the walk steps by -4 to +3 and may leave it).
CostumeFrame MakeFrame(Shape shape, uint16_t width, uint16_t height, uint32_t limit,
                       std::mt19937* random) {
    CostumeFrame frame{width, height, std::vector<uint8_t>(size_t{width} * height)};
    auto colour = [&] { return static_cast<uint8_t>((*random)() % limit); };
    uint8_t current = colour();
    size_t runLeft = 0;
    for (size_t i = 0; i < frame.pixels.size(); ++i) {
        const size_t x = i % width, y = i / width;
        switch (shape) {
            case Shape::kNoise:
                frame.pixels[i] = colour();
                break;
            case Shape::kRuns:
                if (runLeft == 0) {
                    current = colour();
                    runLeft = 1 + (*random)() % 600;
                }
                --runLeft;
                frame.pixels[i] = current;
                break;
            case Shape::kUniform:
                frame.pixels[i] = static_cast<uint8_t>(limit - 1);
                break;
            case Shape::kColumns:
                frame.pixels[i] = static_cast<uint8_t>((x / 3) % limit);
                break;
            case Shape::kRows:
                frame.pixels[i] = static_cast<uint8_t>((y / 2) % limit);
                break;
            case Shape::kWalk:
                if ((*random)() % 4 == 0)
                    current = static_cast<uint8_t>(current + (*random)() % 8 - 4);
                frame.pixels[i] = current;
                break;
        }
    }
    return frame;
}

// Every shape at sizes that meet the corners: empty, one pixel, one row or column, runs
// longer than a column and longer than 255.
std::vector<CostumeFrame> Frames(uint32_t limit, bool walk, std::mt19937* random) {
    const uint16_t sizes[][2] = {{1, 1},   {1, 9},    {9, 1},    {0, 0},   {0, 5},
                                 {5, 0},   {2, 3},    {17, 13},  {64, 64}, {300, 2},
                                 {2, 300}, {1000, 1}, {1, 1000}, {255, 3}};
    std::vector<CostumeFrame> frames;
    for (Shape shape : {Shape::kNoise, Shape::kRuns, Shape::kUniform, Shape::kColumns, Shape::kRows,
                        Shape::kWalk}) {
        if (shape == Shape::kWalk && !walk) continue;
        for (const auto& size : sizes)
            frames.push_back(MakeFrame(shape, size[0], size[1], limit, random));
    }
    return frames;
}

struct Encoding {
    const char* name;
    uint16_t codec;
    uint32_t colourCount;
    uint8_t bits;    // codec 16's N; 0 lets the builder choose
    uint32_t limit;  // colours the encoding holds
};

const Encoding kEncodings[] = {
    {"codec 1, 16 colours", 1, 16, 0, 16},   {"codec 1, 32 colours", 1, 32, 0, 32},
    {"codec 1, 64 colours", 1, 64, 0, 64},   {"codec 1, no colours", 1, 0, 0, 16},
    {"codec 1, 128 colours", 1, 128, 0, 16}, {"codec 1, 256 colours", 1, 256, 0, 16},
    {"codec 1, 7 colours", 1, 7, 0, 7},      {"codec 5", 5, 256, 0, 256},
    {"codec 16, N chosen", 16, 256, 0, 256}, {"codec 16, N 1", 16, 256, 1, 2},
    {"codec 16, N 2", 16, 256, 2, 4},        {"codec 16, N 3", 16, 256, 3, 8},
    {"codec 16, N 4", 16, 256, 4, 16},       {"codec 16, N 5", 16, 256, 5, 32},
    {"codec 16, N 6", 16, 256, 6, 64},       {"codec 16, N 7", 16, 256, 7, 128},
    {"codec 16, N 8", 16, 256, 8, 256},
};

TEST(CostumeRoundTrip, EveryFrameDecodesToItsPixels) {
    std::mt19937 random(1234);
    for (const Encoding& e : kEncodings) {
        SCOPED_TRACE(e.name);
        CostumeDesign design;
        design.codec = e.codec;
        design.codec16Bits = e.bits;
        design.frames = Frames(e.limit, e.codec == 16, &random);
        for (uint32_t i = 0; i < e.colourCount * 3; ++i)
            design.colours.push_back(static_cast<uint8_t>(i * 7));
        const std::vector<uint8_t> block = BuildCostumeBlock(design);
        ASSERT_FALSE(block.empty());

        const std::vector<uint8_t> exact(block);
        Costume costume(ByteView{exact.data(), exact.size()});
        g_headless.TakeErrors();
        ASSERT_TRUE(costume.Parse());
        for (const ByteView* sub : {&costume.vehd, &costume.vepl, &costume.rgbs, &costume.vesq,
                                    &costume.vech, &costume.veof, &costume.veci, &costume.vecd})
            EXPECT_NE(sub->data, nullptr);
        EXPECT_EQ(costume.FrameCount(), design.frames.size());
        EXPECT_EQ(costume.Codec(), e.codec);
        EXPECT_EQ(costume.colourCount, e.colourCount);
        for (size_t f = 0; f < design.frames.size(); ++f) {
            const CostumeFrame& frame = design.frames[f];
            SCOPED_TRACE("frame " + std::to_string(f + 1) + ", " + std::to_string(frame.width) +
                         " x " + std::to_string(frame.height));
            ASSERT_TRUE(costume.SelectFrame(static_cast<uint16_t>(f + 1)));
            IndexedImage image;
            ASSERT_TRUE(costume.Render(&image, 0, 0));
            EXPECT_EQ(image.width, frame.width);
            EXPECT_EQ(image.height, frame.height);
            EXPECT_EQ(image.pixels, frame.pixels);
            std::vector<uint8_t> palette(design.colours);
            palette.resize(768, 0);
            EXPECT_EQ(image.palette, palette);
        }
        EXPECT_EQ(g_headless.TakeErrors(), std::vector<std::string>{});
    }
}

TEST(CostumeRoundTrip, TruncatedFramesStayInsideTheirData) {
    // Cut at every length, the data of a frame decodes to a beginning of the image, in the
    // codec's own order, and zeros: never to other colours, never outside the data.
    std::mt19937 random(99);
    struct Case {
        const char* name;
        uint16_t codec;
        uint32_t colourCount;
        CostumeFrame frame;
        std::vector<uint8_t> data;
    };
    std::vector<Case> cases;
    for (Shape shape : {Shape::kRuns, Shape::kNoise, Shape::kColumns}) {
        CostumeFrame frame = MakeFrame(shape, 23, 11, 16, &random);
        cases.push_back({"codec 1", 1, 32, frame, EncodeCodec1(frame, 32)});
        cases.push_back({"codec 5", 5, 0, frame, EncodeCodec5(frame)});
        cases.push_back({"codec 16", 16, 0, frame, EncodeCodec16(frame, 4)});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.data.empty());
        for (size_t length = 0; length <= c.data.size(); ++length) {
            SCOPED_TRACE("cut at " + std::to_string(length));
            const std::vector<uint8_t> data(c.data.begin(),
                                            c.data.begin() + static_cast<ptrdiff_t>(length));
            const auto pixels =
                DecodeWith(c.codec, data, c.colourCount, c.frame.width, c.frame.height);
            ASSERT_EQ(pixels.size(), c.frame.pixels.size());
            for (size_t i = 0; i < pixels.size(); ++i) {
                if (pixels[i] != c.frame.pixels[i]) {
                    ASSERT_EQ(pixels[i], 0) << "pixel " << i;
                }
            }
            if (length == c.data.size()) {
                EXPECT_EQ(pixels, c.frame.pixels);
            }
        }
    }
}

TEST(CostumeEncoders, CompressWhatRepeats) {
    const CostumeFrame uniform{64, 64, std::vector<uint8_t>(4096, 3)};
    CostumeFrame stripes{64, 64, std::vector<uint8_t>(4096)};
    for (size_t i = 0; i < stripes.pixels.size(); ++i)
        stripes.pixels[i] = static_cast<uint8_t>(i / 640);
    for (const CostumeFrame& frame : {uniform, stripes}) {
        // Bands of 10 rows break every column of codec 1 seven times and still fit an eighth.
        EXPECT_LT(EncodeCodec1(frame, 16).size(), frame.pixels.size() / 8);
        EXPECT_LT(EncodeCodec5(frame).size(), frame.pixels.size() / 8);
        EXPECT_LT(EncodeCodec16(frame, 4).size(), frame.pixels.size() / 8);
    }
}

TEST(CostumeEncoders, WriteTheShortestCodes) {
    const CostumeFrame example1{2, 3, {5, 5, 5, 7, 5, 7}};
    const CostumeFrame example5{4, 2, {9, 9, 10, 11, 3, 3, 3, 3}};
    const CostumeFrame example16{4, 2, {16, 16, 7, 7, 7, 7, 7, 7}};
    const CostumeFrame long1{1, 300, std::vector<uint8_t>(300, 3)};
    const CostumeFrame literal5{3, 1, {1, 2, 3}};
    const CostumeFrame steps16{3, 1, {10, 13, 9}};
    struct Case {
        const char* behaviour;
        std::vector<uint8_t> encoded, expected;
    };
    const Case cases[] = {
        {"codec 1 runs down the columns", EncodeCodec1(example1, 32), {0x2C, 0x3A}},
        {"codec 1 long runs take length bytes", EncodeCodec1(long1, 16), {0x30, 0xFF, 0x30, 45}},
        {"codec 5 fills and literals",
         EncodeCodec5(example5),
         {0x05, 0x00, 0x03, 0x09, 0x02, 0x0A, 0x0B, 0x02, 0x00, 0x07, 0x03}},
        {"codec 5 a row of literals", EncodeCodec5(literal5), {0x04, 0x00, 0x04, 1, 2, 3}},
        {"codec 16 colours and same-colour codes",
         EncodeCodec16(example16, 5),
         {0x05, 0x10, 0x3A, 0x00}},
        {"codec 16 steps by up to 4", EncodeCodec16(steps16, 8), {0x08, 0x0A, 0x7F, 0x00}},
        {"codec 16 a frame without pixels", EncodeCodec16(CostumeFrame{0, 4, {}}, 3), {0x03, 0x00}},
        {"codec 5 rows without pixels", EncodeCodec5(CostumeFrame{0, 2, {}}), {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        EXPECT_EQ(c.encoded, c.expected);
    }
}

TEST(CostumeEncoders, RefuseWhatTheirEncodingCannotHold) {
    const CostumeFrame wrongSize{2, 2, {1, 2, 3}};
    auto pair = [](uint8_t a, uint8_t b) { return CostumeFrame{2, 1, {a, b}}; };
    struct Case {
        const char* behaviour;
        std::vector<uint8_t> encoded;
        bool refused;
    };
    const Case cases[] = {
        {"codec 1, colour 16 of 16 colours", EncodeCodec1(pair(0, 16), 16), true},
        {"codec 1, colour 15 of 16 colours", EncodeCodec1(pair(0, 15), 16), false},
        {"codec 1, colour 32 of 32 colours", EncodeCodec1(pair(32, 0), 32), true},
        {"codec 1, colour 31 of 32 colours", EncodeCodec1(pair(31, 0), 32), false},
        {"codec 1, colour 64 of 64 colours", EncodeCodec1(pair(64, 0), 64), true},
        {"codec 1, colour 16 of 128 colours", EncodeCodec1(pair(16, 0), 128), true},
        {"codec 1, pixels that do not match the size", EncodeCodec1(wrongSize, 16), true},
        {"codec 5, pixels that do not match the size", EncodeCodec5(wrongSize), true},
        {"codec 16, pixels that do not match the size", EncodeCodec16(wrongSize, 8), true},
        {"codec 16, more than 8 bits", EncodeCodec16(pair(0, 0), 9), true},
        {"codec 16, a colour beyond N bits and steps", EncodeCodec16(pair(0, 100), 2), true},
        {"codec 16, a colour beyond N bits within a step", EncodeCodec16(pair(0, 253), 2), false},
        {"codec 16, any first colour", EncodeCodec16(pair(200, 200), 1), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        EXPECT_EQ(c.encoded.empty(), c.refused);
    }

    CostumeDesign design;
    design.frames = {pair(0, 16)};
    EXPECT_TRUE(BuildCostumeBlock(design).empty()) << "a refused frame";
    design.frames = {pair(0, 1)};
    design.colours = {1, 2, 3, 4};
    EXPECT_TRUE(BuildCostumeBlock(design).empty()) << "colours that are not whole triples";
    design.colours = {1, 2, 3};
    design.codec = 2;
    EXPECT_TRUE(BuildCostumeBlock(design).empty()) << "an unknown codec";
    design.codec = 1;
    EXPECT_FALSE(BuildCostumeBlock(design).empty());
}

}  // namespace
