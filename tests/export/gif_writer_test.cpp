// GIFs as a browser shows them: every file the writer makes is decoded with giflib,
// composited frame by frame with the GIF disposal rules, and each frame compared with the
// frame as rendered, pixel by pixel; the file must also be smaller than writing every
// frame whole.
#include "export/gif_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "export/gif_test_frames.h"
#include "support/gif/gif_reader.h"

namespace {

std::vector<uint8_t> TestPalette() {
    std::vector<uint8_t> palette(256 * 3);
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint8_t>(i * 7 + 3);
    // Indices 6 and 2, and 200 and 4, look alike: the GIF may write them as one.
    std::copy_n(&palette[2 * 3], 3, &palette[6 * 3]);
    std::copy_n(&palette[4 * 3], 3, &palette[200 * 3]);
    return palette;
}

// Writes the frames as the exporter does, and returns the file's bytes.
std::vector<uint8_t> WriteToBytes(const GifTestFrames& frames, uint16_t delay = 10) {
    const std::vector<uint8_t> palette = TestPalette();
    const GifFrameSource source = frames.Source();
    const GifAnimation animation{frames.width, frames.height, source.frameCount,
                                 palette.data(), frames.transparent, delay, source.rowAt};
    std::FILE* file = std::tmpfile();
    EXPECT_NE(file, nullptr);
    if (file == nullptr) return {};
    std::string error;
    EXPECT_TRUE(WriteGif(file, animation, &error)) << error;
    std::vector<uint8_t> bytes(static_cast<size_t>(std::ftell(file)));
    std::rewind(file);
    EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
    return bytes;
}

// Decodes and composites the GIF and compares every frame with what was rendered; also
// the palette it keeps, the looping and the delay.
void ExpectShowsExactly(const std::vector<uint8_t>& bytes, const GifTestFrames& frames,
                        uint16_t delay = 10) {
    GifContents contents;
    std::string error;
    ASSERT_TRUE(ReadGifBytes(bytes.data(), bytes.size(), &contents, &error)) << error;
    EXPECT_EQ(contents.width, frames.width);
    EXPECT_EQ(contents.height, frames.height);
    EXPECT_EQ(contents.loopCount, 0);
    const std::vector<uint8_t> palette = TestPalette();
    const size_t colours = contents.palette.size() / 3;
    EXPECT_TRUE(colours >= 2 && (colours & (colours - 1)) == 0) << colours;
    std::vector<GifShownFrame> shown;
    ASSERT_TRUE(CompositeGif(contents, &shown, &error)) << error;
    ASSERT_EQ(shown.size(), frames.frames.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i));
        EXPECT_EQ(contents.frames[i].delay, delay);
        GifShownFrame expected;
        for (uint8_t index : frames.frames[i]) {
            expected.push_back(frames.transparent == index ? kGifClear : index);
        }
        ASSERT_EQ(ShownColours(shown[i], contents.palette), ShownColours(expected, palette));
    }
}

// A costume's frame, before it is laid on the screen.
struct Picture {
    uint16_t width, height;
    std::vector<uint8_t> pixels;
};

// Lays each picture at the top left of a screen as large as the largest, enlarged `scale`
// times, the rest of the screen the background: the frames as the exporter renders them.
GifTestFrames Screens(const std::vector<Picture>& pictures, uint32_t scale,
                      std::optional<uint8_t> transparent) {
    GifTestFrames frames;
    frames.transparent = transparent;
    for (const Picture& picture : pictures) {
        frames.width = std::max<uint16_t>(frames.width, static_cast<uint16_t>(picture.width * scale));
        frames.height = std::max<uint16_t>(frames.height, static_cast<uint16_t>(picture.height * scale));
    }
    for (const Picture& picture : pictures) {
        std::vector<uint8_t> screen(size_t{frames.width} * frames.height, transparent.value_or(0));
        for (uint32_t y = 0; y < picture.height * scale; ++y) {
            for (uint32_t x = 0; x < picture.width * scale; ++x) {
                screen[size_t{y} * frames.width + x] =
                    picture.pixels[size_t{y / scale} * picture.width + x / scale];
            }
        }
        frames.frames.push_back(std::move(screen));
    }
    return frames;
}

// A walking figure: a body that moves a step each frame and swings an arm, over index 1.
std::vector<Picture> Walk(uint16_t width, uint16_t height, uint32_t count, uint8_t clear) {
    std::vector<Picture> pictures;
    for (uint32_t f = 0; f < count; ++f) {
        Picture picture{width, height, std::vector<uint8_t>(size_t{width} * height, clear)};
        for (uint32_t y = 2; y + 2 < height; ++y) {
            for (uint32_t x = 0; x < 4; ++x) {
                picture.pixels[y * width + (f + x) % width] = static_cast<uint8_t>(2 + (y % 3));
            }
        }
        picture.pixels[(f % height) * width + width - 1] = 9;
        pictures.push_back(std::move(picture));
    }
    return pictures;
}

struct WriterCase {
    const char* name;
    std::vector<Picture> pictures;
    int transparent;  // -1: none
};

TEST(GifWriter, EveryFrameCompositesToTheFrameAsRendered) {
    const std::vector<uint8_t> blank(12, 3);
    std::vector<uint8_t> onePixel = blank;
    onePixel[7] = 4;
    const std::vector<uint8_t> holes = {3, 3, 3, 3, 0, 0, 3, 3, 3, 3, 3, 0};
    const WriterCase cases[] = {
        {"frames of different sizes", {{4, 3, blank}, {2, 5, std::vector<uint8_t>(10, 6)},
                                       {6, 1, std::vector<uint8_t>(6, 7)}}, -1},
        {"frames of different sizes, transparent", {{4, 3, blank}, {2, 5, std::vector<uint8_t>(10, 6)},
                                                    {6, 1, std::vector<uint8_t>(6, 7)}}, 0},
        {"a frame like the one before", {{4, 3, blank}, {4, 3, blank}, {4, 3, blank}}, -1},
        {"a frame that changes one pixel", {{4, 3, blank}, {4, 3, onePixel}, {4, 3, blank}}, -1},
        {"pixels turning transparent and back", {{4, 3, blank}, {4, 3, holes}, {4, 3, blank}}, 0},
        {"all transparent, then not", {{4, 3, std::vector<uint8_t>(12, 5)}, {4, 3, holes}}, 5},
        {"a walk", Walk(9, 7, 12, 1), -1},
        {"a walk, transparent", Walk(9, 7, 12, 1), 1},
        {"a walk, transparent at the highest index", Walk(9, 7, 12, 255), 255},
    };
    for (const WriterCase& test : cases) {
        for (uint32_t scale : {1u, 3u}) {
            SCOPED_TRACE(std::string(test.name) + " at " + std::to_string(scale) + "x");
            std::optional<uint8_t> transparent;
            if (test.transparent >= 0) transparent = static_cast<uint8_t>(test.transparent);
            const GifTestFrames frames = Screens(test.pictures, scale, transparent);
            ExpectShowsExactly(WriteToBytes(frames, 7), frames, 7);
        }
    }
}

// Sprites that wander, blink and vanish over a screen, some frames transparent, with every
// index in use: the disposals, substitutions and table sizes meet in all their mixtures.
TEST(GifWriter, RandomAnimationsCompositeExactly) {
    std::mt19937 engine(20261210);
    const auto random = [&engine] { return static_cast<uint32_t>(engine()); };
    for (int run = 0; run < 300; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const uint16_t width = static_cast<uint16_t>(1 + random() % 24);
        const uint16_t height = static_cast<uint16_t>(1 + random() % 24);
        const uint32_t colours = 1u << (random() % 9);
        GifTestFrames frames{width, height, std::nullopt, {}};
        if (random() % 2) frames.transparent = static_cast<uint8_t>(random() % colours);
        std::vector<uint8_t> screen(size_t{width} * height);
        for (uint8_t& pixel : screen) pixel = static_cast<uint8_t>(random() % colours);
        const uint32_t count = 1 + random() % 8;
        for (uint32_t f = 0; f < count; ++f) {
            // A few rectangles of one index, or scattered pixels, over the frame before.
            const uint32_t changes = random() % 4;
            for (uint32_t c = 0; c < changes; ++c) {
                const uint32_t left = random() % width, top = random() % height;
                const uint32_t right = left + random() % (width - left) + 1;
                const uint32_t bottom = top + random() % (height - top) + 1;
                const bool scattered = random() % 3 == 0;
                const uint8_t index = static_cast<uint8_t>(random() % colours);
                for (uint32_t y = top; y < bottom; ++y) {
                    for (uint32_t x = left; x < right; ++x) {
                        if (scattered && random() % 2) continue;
                        screen[y * width + x] = scattered ? uint8_t(random() % colours) : index;
                    }
                }
            }
            frames.frames.push_back(screen);
        }
        ExpectShowsExactly(WriteToBytes(frames), frames);
        if (HasFatalFailure()) return;
    }
}

TEST(GifWriter, AMovingFigureTakesFarLessThanItsWholeFrames) {
    const GifTestFrames frames = Screens(Walk(40, 30, 24, 1), 2, uint8_t{1});
    const size_t wholeFrames = size_t{frames.width} * frames.height * frames.frames.size();
    const std::vector<uint8_t> bytes = WriteToBytes(frames);
    ExpectShowsExactly(bytes, frames);
    EXPECT_LT(bytes.size() * 10, wholeFrames);
}

TEST(GifWriter, RefusesAnAnimationWithoutPixels) {
    const std::vector<uint8_t> palette = TestPalette();
    for (const GifAnimation& animation :
         {GifAnimation{0, 4, 1, palette.data(), std::nullopt, 10, nullptr},
          GifAnimation{4, 4, 0, palette.data(), std::nullopt, 10, nullptr}}) {
        std::FILE* file = std::tmpfile();
        ASSERT_NE(file, nullptr);
        std::string error;
        EXPECT_FALSE(WriteGif(file, animation, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(std::ftell(file), 0);
        std::fclose(file);
    }
}

}  // namespace
