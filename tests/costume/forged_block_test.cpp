// Blocks that anyone may have forged: cut short or with bytes changed at random. Each runs
// the whole way the viewer does (parse, every frame, render) in a buffer of exactly its size,
// so that the sanitizer build sees any read outside it, and each failure shows one message.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "authoring/costume_builder.h"
#include "costume/costume.h"
#include "display/indexed_image.h"
#include "frontends/headless/headless_frontend.h"

namespace {

// Runs `block` through everything and checks that each step that fails says so once.
void ExpectContained(const std::vector<uint8_t>& block) {
    const std::vector<uint8_t> exact(block);
    Costume costume(ByteView{exact.data(), exact.size()});
    g_headless.TakeErrors();
    if (!costume.Parse()) {
        ASSERT_EQ(g_headless.TakeErrors().size(), 1u);
        return;
    }
    ASSERT_TRUE(g_headless.TakeErrors().empty());
    const uint32_t frames = costume.FrameCount();
    for (uint32_t frame = 1; frame <= frames && frame <= 8; ++frame) {
        if (!costume.SelectFrame(static_cast<uint16_t>(frame))) {
            ASSERT_EQ(g_headless.TakeErrors().size(), 1u);
            continue;
        }
        IndexedImage image;
        const bool drawn = costume.Render(&image, 0, 0);
        ASSERT_EQ(g_headless.TakeErrors().size(), drawn ? 0u : 1u);
        if (drawn) {
            ASSERT_EQ(image.pixels.size(), size_t{image.width} * image.height);
        }
    }
}

std::vector<std::vector<uint8_t>> ValidBlocks() {
    std::mt19937 random(7);
    std::vector<std::vector<uint8_t>> blocks;
    for (int codec : {1, 5, 16}) {
        CostumeDesign design;
        design.codec = static_cast<uint16_t>(codec);
        design.colours.assign(16 * 3, 0x40);
        for (int size : {5, 1, 0, 12}) {
            CostumeFrame frame{static_cast<uint16_t>(size), static_cast<uint16_t>(size + 1), {}};
            for (int i = 0; i < size * (size + 1); ++i)
                frame.pixels.push_back(static_cast<uint8_t>(random() % 3 == 0 ? random() % 16 : 2));
            design.frames.push_back(frame);
        }
        blocks.push_back(BuildCostumeBlock(design));
    }
    return blocks;
}

TEST(ForgedBlocks, CutAtEveryLength) {
    for (const auto& block : ValidBlocks()) {
        ASSERT_FALSE(block.empty());
        for (size_t length = 0; length <= block.size(); ++length) {
            SCOPED_TRACE("codec block cut at " + std::to_string(length));
            std::vector<uint8_t> cut(block.begin(), block.begin() + static_cast<ptrdiff_t>(length));
            ExpectContained(cut);
            // The same with a header that agrees with the cut.
            if (length >= 8) {
                for (size_t i = 0; i < 4; ++i)
                    cut[4 + i] = static_cast<uint8_t>(length >> (24 - 8 * i));
                ExpectContained(cut);
            }
        }
    }
}

TEST(ForgedBlocks, ChangedAtRandom) {
    std::mt19937 random(2024);
    for (const auto& block : ValidBlocks()) {
        for (int round = 0; round < 3000; ++round) {
            std::vector<uint8_t> forged(block);
            const int changes = 1 + static_cast<int>(random() % 4);
            for (int i = 0; i < changes; ++i)
                forged[random() % forged.size()] = static_cast<uint8_t>(random());
            SCOPED_TRACE("round " + std::to_string(round));
            ExpectContained(forged);
        }
    }
}

}  // namespace
