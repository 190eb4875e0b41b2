// The demo game shows exactly what its costumes draw, and make-demo never writes a costume
// that its codec refused as if it were whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "costume/costume_test_support.h"
#include "demo/demo_game.h"

namespace {

TEST(DemoGame, EveryFrameComesBackFromItsCodecAsDrawn) {
    for (const DemoCostume& costume : DesignDemoCostumes()) {
        SCOPED_TRACE(costume.name);
        const std::vector<uint8_t> block = BuildCostumeBlock(costume.design);
        ASSERT_FALSE(block.empty());
        for (size_t i = 0; i < costume.design.frames.size(); ++i) {
            SCOPED_TRACE("frame " + std::to_string(i + 1));
            const CostumeFrame& drawn = costume.design.frames[i];
            const Rendered rendered = RenderFrame(block, static_cast<uint16_t>(i + 1));
            ASSERT_TRUE(rendered.ok);
            EXPECT_EQ(rendered.errors, std::vector<std::string>{});
            EXPECT_EQ(rendered.image.width, drawn.width);
            EXPECT_EQ(rendered.image.height, drawn.height);
            EXPECT_TRUE(rendered.image.pixels == drawn.pixels);
        }
    }
}

DemoCostume OneFrameCostume(const char* name, uint16_t codec, uint32_t colourCount,
                            uint8_t colour) {
    CostumeDesign design;
    design.codec = codec;
    design.colours.assign(size_t{colourCount} * 3, 0);
    design.frames = {CostumeFrame{2, 2, std::vector<uint8_t>(4, colour)}};
    return DemoCostume{name, 1, design};
}

TEST(DemoGame, ALayoutHoldsEveryCostumeOrNamesTheOneItsCodecRefused) {
    const DemoCostume fits = OneFrameCostume("fits", 1, 16, 15);
    // Codec 1 holds four colour bits with 16 colours.
    const DemoCostume tooBright = OneFrameCostume("too bright", 1, 16, 16);
    const DemoCostume noCodec = OneFrameCostume("no such codec", 7, 16, 1);
    struct Case {
        const char* behaviour;
        std::vector<DemoCostume> costumes;
        std::string error;  // empty: the layout is made
    };
    const Case cases[] = {
        {"costumes that fit make a layout", {fits, fits}, ""},
        {"a colour beyond the codec's bits",
         {fits, tooBright},
         "The demo costume \"too bright\" cannot be encoded."},
        {"a codec that does not exist",
         {noCodec, fits},
         "The demo costume \"no such codec\" cannot be encoded."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.behaviour);
        GameLayout layout;
        std::string error;
        EXPECT_EQ(MakeDemoLayout(c.costumes, &layout, &error), c.error.empty());
        EXPECT_EQ(error, c.error);
        if (!c.error.empty()) continue;
        ASSERT_EQ(layout.costumes.size(), c.costumes.size() + 1);
        EXPECT_TRUE(layout.costumes[0].block.empty());  // costume 0 is never shown
        for (size_t i = 1; i < layout.costumes.size(); ++i) {
            EXPECT_EQ(layout.costumes[i].room, 1);
            EXPECT_EQ(layout.costumes[i].block, BuildCostumeBlock(c.costumes[i - 1].design));
        }
    }
}

}  // namespace
