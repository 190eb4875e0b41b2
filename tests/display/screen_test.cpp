#include "display/screen.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "display/status_font.h"

namespace {

uint8_t LayerAt(const Screen& screen, int32_t x, int32_t y) {
    return screen.layer[static_cast<size_t>(y) * 640 + static_cast<size_t>(x)];
}

// Every pixel of the image differs from the cleared background (index 0).
IndexedImage MakeImage(int32_t x, int32_t y, uint16_t width, uint16_t height) {
    IndexedImage image;
    EXPECT_TRUE(image.Create(x, y, width, height, 256));
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = static_cast<uint8_t>(i % 251 + 1);
    }
    for (size_t i = 0; i < 256; ++i) {
        image.palette[3 * i] = static_cast<uint8_t>(i);
        image.palette[3 * i + 1] = static_cast<uint8_t>(255 - i);
        image.palette[3 * i + 2] = 0x40;
    }
    return image;
}

struct ClipCase {
    const char* name;
    int32_t x, y;
    uint16_t width, height;
    bool rejected;
};

const ClipCase kClipCases[] = {
    {"whole screen", 0, 0, 640, 480, false},
    {"over the top-left corner", -10, -5, 20, 10, false},
    {"over the bottom-right corner", 600, 470, 100, 100, false},
    {"cut by the left edge", -3, 200, 10, 4, false},
    {"cut by the right edge", 635, 100, 10, 4, false},
    {"cut by the top edge", 50, -2, 7, 5, false},
    {"cut by the bottom edge", 50, 478, 7, 5, false},
    {"wider than the screen", -30, 100, 700, 3, false},
    {"taller than the screen", 10, -7, 3, 500, false},
    {"ends at the left edge", -20, 10, 20, 5, false},
    {"starts at the right edge", 640, 10, 20, 5, false},
    {"ends at the top edge", 10, -5, 20, 5, false},
    {"starts at the bottom edge", 10, 480, 20, 5, false},
    {"no pixels", 5, 5, 0, 0, false},
    // A forged size record can give a frame rows but no columns, or columns but no rows.
    {"rows without columns", 5, 5, 0, 40, false},
    {"columns without rows", 5, 5, 40, 0, false},
    {"columns without rows, cut by the left edge", -5, 5, 40, 0, false},
    {"one past the left edge", -21, 10, 20, 5, true},
    {"one past the right edge", 641, 10, 20, 5, true},
    {"one past the top edge", 10, -6, 20, 5, true},
    {"one past the bottom edge", 10, 481, 20, 5, true},
    {"at the largest position", INT32_MAX, INT32_MAX, 20, 5, true},
    {"at the smallest position", INT32_MIN, INT32_MIN, 20, 5, true},
};

TEST(ScreenDrawImage, CopiesExactlyThePartInsideTheScreen) {
    for (const ClipCase& test : kClipCases) {
        SCOPED_TRACE(test.name);
        Screen screen;
        ASSERT_TRUE(screen.Create());
        screen.Clear();
        screen.TakeInvalid();
        IndexedImage image = MakeImage(test.x, test.y, test.width, test.height);

        screen.DrawImage(image);

        // The palette is loaded even when nothing is copied.
        EXPECT_EQ(screen.colourTable[7], 0x07F840u);
        EXPECT_EQ(screen.colourTable[255], 0xFFFFFFu);
        // Only the copied part needs painting again; on a cleared screen the palette
        // recolours nothing.
        const ScreenRect expectedInvalid =
            test.rejected ? ScreenRect{}
                          : ClipToScreen(ScreenRect{test.x, test.y, test.x + test.width,
                                                    test.y + test.height});
        const ScreenRect invalid = screen.TakeInvalid();
        if (expectedInvalid.Empty()) {
            EXPECT_TRUE(invalid.Empty());
        } else {
            EXPECT_EQ(invalid, expectedInvalid);
        }
        int mismatches = 0;
        for (int64_t row = 0; row < 480; ++row) {
            for (int64_t column = 0; column < 640; ++column) {
                const int64_t c = column - test.x;
                const int64_t r = row - test.y;
                const bool inside = c >= 0 && c < test.width && r >= 0 && r < test.height;
                const size_t at = static_cast<size_t>(row * 640 + column);
                const uint8_t expected =
                    inside ? image.pixels[static_cast<size_t>(r * test.width + c)] : 0;
                const uint8_t expectedLayer = inside ? Screen::kIndexed : Screen::kBlack;
                if (screen.bits[at] != expected || screen.layer[at] != expectedLayer) {
                    ++mismatches;
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    }
}

// Runs `draw` on `screen` and counts the pixels whose colour it changed outside the
// rectangle the screen then reports: a front-end would leave those stale.
template <typename Draw>
int ChangedOutsideInvalid(Screen& screen, Draw draw) {
    screen.TakeInvalid();
    const std::vector<uint32_t> before = screen.shown;
    draw();
    const ScreenRect invalid = screen.TakeInvalid();
    int stale = 0;
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x) {
            const size_t at = static_cast<size_t>(y) * 640 + static_cast<size_t>(x);
            const bool inside =
                x >= invalid.left && x < invalid.right && y >= invalid.top && y < invalid.bottom;
            stale += before[at] != screen.shown[at] && !inside;
        }
    }
    return stale;
}

// ShowImage skips clearing what the new image covers: for every placement, over earlier
// pictures and status lines, it must leave exactly what Clear and a draw leave, and a later
// clear must find every pixel it drew. Every step reports every pixel it changed.
TEST(ScreenShowImage, LeavesWhatClearAndADrawLeave) {
    struct Before {
        const char* name;
        int32_t x, y;
        uint16_t width, height;
        const char* text;
    };
    const Before befores[] = {
        {"a blank screen", 0, 0, 0, 0, ""},
        {"a small frame and its status line", 0, 0, 64, 96, "Costume 1, frame 1 of 8"},
        {"a frame the size of the screen", 0, 0, 640, 480, "Costume 2, frame 3 of 3"},
        {"a frame off the corner", 300, 200, 400, 300, "Costume 14, frame 12 of 40"},
    };
    for (const Before& before : befores) {
        for (const ClipCase& placement : kClipCases) {
            for (bool doubled : {false, true}) {
                SCOPED_TRACE(std::string(before.name) + ", then " + placement.name +
                             (doubled ? ", doubled" : ""));
                Screen expected, shown;
                ASSERT_TRUE(expected.Create() && shown.Create());
                const IndexedImage earlier =
                    MakeImage(before.x, before.y, before.width, before.height);
                expected.DrawImageDoubled(earlier);
                expected.DrawText(before.text);
                // Over a screen just created, whose pixels a palette recolours.
                EXPECT_EQ(ChangedOutsideInvalid(shown, [&] { shown.DrawImageDoubled(earlier); }),
                          0);
                EXPECT_EQ(ChangedOutsideInvalid(shown, [&] { shown.DrawText(before.text); }), 0);
                const IndexedImage image =
                    MakeImage(placement.x, placement.y, placement.width, placement.height);
                expected.Clear();
                doubled ? expected.DrawImageDoubled(image) : expected.DrawImage(image);
                EXPECT_EQ(ChangedOutsideInvalid(shown, [&] { shown.ShowImage(image, doubled); }),
                          0);
                for (int pass = 0; pass < 2; ++pass) {
                    EXPECT_TRUE(shown.bits == expected.bits);
                    EXPECT_TRUE(shown.layer == expected.layer);
                    EXPECT_TRUE(shown.shown == expected.shown);
                    EXPECT_EQ(shown.indexedShown, expected.indexedShown);
                    expected.Clear();
                    EXPECT_EQ(ChangedOutsideInvalid(shown, [&] { shown.Clear(); }), 0);
                }
            }
        }
    }
}

TEST(ScreenDrawImage, IsOpaqueAndLeavesTheRestAlone) {
    Screen screen;
    ASSERT_TRUE(screen.Create());
    IndexedImage first = MakeImage(0, 0, 4, 4);
    screen.DrawImage(first);
    IndexedImage zeros = MakeImage(1, 1, 2, 2);
    std::fill(zeros.pixels.begin(), zeros.pixels.end(), uint8_t{0});
    screen.DrawImage(zeros);
    const uint8_t expected[4][4] = {{1, 2, 3, 4}, {5, 0, 0, 8}, {9, 0, 0, 12}, {13, 14, 15, 16}};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(screen.bits[static_cast<size_t>(r * 640 + c)], expected[r][c]);
    }
}

TEST(ScreenPalette, LoadsOnlyTheEntriesGiven) {
    std::vector<uint8_t> colours(300 * 3);
    for (size_t i = 0; i < colours.size(); ++i) colours[i] = static_cast<uint8_t>(i * 7);
    Screen screen;
    ASSERT_TRUE(screen.Create());
    uint32_t before[256];
    std::memcpy(before, screen.colourTable, sizeof before);

    screen.SetPalette(colours.data(), 0);
    EXPECT_EQ(std::memcmp(before, screen.colourTable, sizeof before), 0);

    screen.SetPalette(colours.data(), 10);
    EXPECT_EQ(screen.colourTable[0], 0x00070Eu);
    EXPECT_EQ(screen.colourTable[9], 0xBDC4CBu);
    EXPECT_EQ(screen.colourTable[10], 0u);
    EXPECT_EQ(screen.colourTable[255], 0xFFFFFFu);

    // A full palette whose last entry is black still leaves 255 white.
    std::vector<uint8_t> black(256 * 3, 0);
    screen.SetPalette(black.data(), 256);
    EXPECT_EQ(screen.colourTable[254], 0u);
    EXPECT_EQ(screen.colourTable[255], 0xFFFFFFu);

    // More than 256 colours load the first 256.
    screen.SetPalette(colours.data(), 300);
    EXPECT_EQ(screen.colourTable[254], 0xD6DDE4u);
    EXPECT_EQ(screen.colourTable[255], 0xFFFFFFu);
}

TEST(ScreenPalette, ShortPaletteKeepsEntry255) {
    Screen screen;
    ASSERT_TRUE(screen.Create());
    std::vector<uint8_t> red(256 * 3, 0);
    for (size_t i = 0; i < 256; ++i) red[3 * i] = 0xFF;
    screen.SetPalette(red.data(), 255);
    EXPECT_EQ(screen.colourTable[254], 0xFF0000u);
    EXPECT_EQ(screen.colourTable[255], 0xFFFFFFu);
}

TEST(ScreenClear, StaysBlackWhateverPaletteFollows) {
    Screen screen;
    ASSERT_TRUE(screen.Create());
    screen.Clear();
    EXPECT_EQ(screen.TakeInvalid(), (ScreenRect{0, 0, 640, 480}));
    EXPECT_TRUE(screen.TakeInvalid().Empty());
    std::vector<uint8_t> white(256 * 3, 0xFF);
    screen.SetPalette(white.data(), 256);
    EXPECT_EQ(screen.ColourAt(0, 0), 0u);
    EXPECT_EQ(screen.ColourAt(639, 479), 0u);
    // Palette changes invalidate nothing: nothing was drawn.
    EXPECT_TRUE(screen.TakeInvalid().Empty());
}

// The rectangle that holds every text pixel (ink or paper) of the screen.
ScreenRect TextArea(const Screen& screen) {
    ScreenRect area;
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x) {
            const uint8_t layer = LayerAt(screen, x, y);
            if (layer == Screen::kTextInk || layer == Screen::kTextPaper) {
                area = area.Union(ScreenRect{x, y, x + 1, y + 1});
            }
        }
    }
    return area;
}

int InkCount(const Screen& screen) {
    int count = 0;
    for (uint8_t layer : screen.layer) count += layer == Screen::kTextInk;
    return count;
}

TEST(ScreenDrawText, CentresALightBoxOnTheTopLine) {
    Screen screen;
    ASSERT_TRUE(screen.Create());
    screen.Clear();
    screen.TakeInvalid();
    screen.DrawText("Please open a file.");  // 19 cells of 8 pixels

    const ScreenRect area = TextArea(screen);
    EXPECT_EQ(area, (ScreenRect{320 - 76 - 2, 0, 320 + 76 + 2, 16}));
    EXPECT_EQ(screen.TakeInvalid(), area);
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            const uint32_t colour = screen.ColourAt(x, y);
            ASSERT_TRUE(colour == 0xFFFFFFu || colour == 0u) << x << "," << y;
        }
    }
    EXPECT_GT(InkCount(screen), 100);
    // Ink and paper keep their colours whatever palette is loaded afterwards.
    std::vector<uint32_t> before(640 * 16);
    screen.Compose(ScreenRect{0, 0, 640, 16}, before.data(), 640);
    std::vector<uint8_t> red(256 * 3, 0);
    for (size_t i = 0; i < 256; ++i) red[3 * i] = 0xFF;
    screen.SetPalette(red.data(), 256);
    std::vector<uint32_t> after(640 * 16);
    screen.Compose(ScreenRect{0, 0, 640, 16}, after.data(), 640);
    EXPECT_EQ(before, after);
}

TEST(ScreenDrawText, TextWiderThanTheScreenIsCutOnBothSides) {
    // 100 cells are 800 pixels: 80 are cut off at each side, i.e. ten cells.
    std::string hidden(100, ' ');
    std::fill_n(hidden.begin(), 10, 'X');
    std::fill_n(hidden.end() - 10, 10, 'X');
    Screen screen;
    ASSERT_TRUE(screen.Create());
    screen.DrawText(hidden.c_str());
    EXPECT_EQ(TextArea(screen), (ScreenRect{0, 0, 640, 16}));
    EXPECT_EQ(InkCount(screen), 0);

    std::string edges(100, ' ');
    edges[10] = 'I';
    edges[89] = 'I';
    screen.Clear();
    screen.DrawText(edges.c_str());
    int leftInk = 0, rightInk = 0;
    for (int32_t y = 0; y < 16; ++y) {
        for (int32_t x = 0; x < 8; ++x) leftInk += LayerAt(screen, x, y) == Screen::kTextInk;
        for (int32_t x = 632; x < 640; ++x) {
            rightInk += LayerAt(screen, x, y) == Screen::kTextInk;
        }
    }
    EXPECT_GT(leftInk, 0);
    EXPECT_EQ(leftInk, rightInk);
}

TEST(ScreenDrawText, EmptyTextDrawsNothing) {
    Screen screen;
    ASSERT_TRUE(screen.Create());
    screen.Clear();
    screen.TakeInvalid();
    screen.DrawText("");
    EXPECT_TRUE(TextArea(screen).Empty());
    EXPECT_TRUE(screen.TakeInvalid().Empty());
}

std::vector<uint8_t> GlyphRows(uint8_t character) {
    const uint8_t* rows = StatusFontGlyph(character);
    return std::vector<uint8_t>(rows, rows + kStatusFontCellHeight);
}

TEST(StatusFont, EveryPrintableByteHasItsOwnGlyphAndOthersABox) {
    const std::vector<uint8_t> placeholder = GlyphRows(0x01);
    const std::vector<uint8_t> blank(kStatusFontCellHeight, 0);
    EXPECT_EQ(GlyphRows(' '), blank);
    EXPECT_NE(placeholder, blank);
    for (int other : {0x00, 0x09, 0x1F, 0x7F, 0x80, 0xC8, 0xFF}) {
        EXPECT_EQ(GlyphRows(static_cast<uint8_t>(other)), placeholder) << other;
    }
    std::vector<std::vector<uint8_t>> seen = {placeholder};
    for (int c = 0x21; c <= 0x7E; ++c) {
        const std::vector<uint8_t> rows = GlyphRows(static_cast<uint8_t>(c));
        EXPECT_NE(rows, blank) << static_cast<char>(c);
        for (const auto& earlier : seen) EXPECT_NE(rows, earlier) << static_cast<char>(c);
        // Column 0 and 7 stay empty so that neighbouring glyphs never touch.
        for (uint8_t row : rows) EXPECT_EQ(row & 0x81, 0) << static_cast<char>(c);
        seen.push_back(rows);
    }
}

TEST(ScreenLifecycle, CreateDestroyAndComposeAgree) {
    Screen screen;
    screen.Destroy();  // before any Create: nothing happens
    EXPECT_FALSE(screen.created);
    ASSERT_TRUE(screen.Create());
    for (int i = 0; i < 255; ++i) EXPECT_EQ(screen.colourTable[i], 0u);
    EXPECT_EQ(screen.colourTable[255], 0xFFFFFFu);
    EXPECT_EQ(screen.bits, std::vector<uint8_t>(640 * 480, 0));

    // Create on a created screen starts again from a new one.
    IndexedImage image = MakeImage(0, 0, 2, 2);
    screen.DrawImage(image);
    ASSERT_TRUE(screen.Create());
    EXPECT_EQ(screen.bits[1], 0);
    EXPECT_EQ(screen.colourTable[1], 0u);
    EXPECT_TRUE(screen.TakeInvalid().Empty());

    // Compose writes the rectangle's colours `stride` apart and only inside the screen.
    screen.DrawImage(MakeImage(0, 0, 3, 3));
    const uint32_t unset = 0xDEADBEEF;
    std::vector<uint32_t> out(4 * 5, unset);
    screen.Compose(ScreenRect{-1, -1, 3, 3}, out.data(), 5);
    EXPECT_EQ(out[0], unset);
    EXPECT_EQ(out[5 + 0], unset);
    EXPECT_EQ(out[5 + 1], screen.ColourAt(0, 0));
    EXPECT_EQ(out[10 + 2], screen.ColourAt(1, 1));
    EXPECT_EQ(screen.ColourAt(1, 1), screen.colourTable[5]);
    EXPECT_EQ(out[4], unset);

    screen.Destroy();
    screen.Destroy();
    EXPECT_FALSE(screen.created);
    screen.Clear();  // nothing to draw on: harmless
    EXPECT_EQ(screen.ColourAt(0, 0), 0u);
}

}  // namespace

namespace {

// What a pixel must show, read from the layers and the colour table alone.
uint32_t ExpectedColour(const Screen& screen, size_t index) {
    switch (screen.layer[index]) {
        case Screen::kIndexed:
            return screen.colourTable[screen.bits[index]];
        case Screen::kTextPaper:
            return 0xFFFFFF;
        default:
            return 0x000000;
    }
}

IndexedImage Recoloured(IndexedImage image, uint8_t shift) {
    for (uint8_t& value : image.palette) value = static_cast<uint8_t>(value + shift);
    return image;
}

struct PaintCase {
    const char* name;
    void (*draw)(Screen& screen);
};

// Sequences of drawing whose painted colours could drift from what the layers say: a new
// palette over pixels already drawn, clears that must undo only part of the screen, images
// over text and text over images.
const PaintCase kPaintCases[] = {
    {"fresh screen", [](Screen&) {}},
    {"new palette recolours what was drawn before",
     [](Screen& s) {
         s.DrawImage(MakeImage(10, 10, 100, 50));
         s.DrawImage(Recoloured(MakeImage(300, 200, 20, 20), 77));
     }},
    {"palette over a fresh screen",
     [](Screen& s) { s.SetPalette(Recoloured(MakeImage(0, 0, 1, 1), 9).palette.data(), 256); }},
    {"clear after a small and a large image",
     [](Screen& s) {
         s.DrawImage(MakeImage(600, 470, 100, 100));
         s.DrawImage(MakeImage(-5, -5, 30, 30));
         s.Clear();
     }},
    {"clear, text, image over the text, clear, image",
     [](Screen& s) {
         s.Clear();
         s.DrawText("Costume 1, Frame 1 / 3");
         s.DrawImage(MakeImage(250, 0, 40, 40));
         s.Clear();
         s.DrawImage(Recoloured(MakeImage(0, 0, 640, 480), 3));
     }},
    {"text over an image, then a palette",
     [](Screen& s) {
         s.Clear();
         s.DrawImage(MakeImage(0, 0, 640, 480));
         s.DrawText("Failed to draw frame.");
         s.SetPalette(Recoloured(MakeImage(0, 0, 1, 1), 200).palette.data(), 100);
     }},
};

TEST(ScreenCompose, PaintsWhatTheLayersSay) {
    for (const PaintCase& c : kPaintCases) {
        Screen screen;
        ASSERT_TRUE(screen.Create());
        c.draw(screen);
        std::vector<uint32_t> painted(640 * 480, 0xDEADBEEF);
        screen.Compose({0, 0, 640, 480}, painted.data(), 640);
        size_t wrong = 0;
        for (size_t i = 0; i < painted.size(); ++i)
            wrong += painted[i] != ExpectedColour(screen, i);
        EXPECT_EQ(wrong, 0u) << c.name;
        // A part of the window, hanging over its edges, lands at its place in the caller's rows.
        std::vector<uint32_t> part(30 * 20, 0x12345678);
        screen.Compose({625, 470, 655, 490}, part.data(), 30);
        EXPECT_EQ(part[0], ExpectedColour(screen, 470 * 640 + 625)) << c.name;
        EXPECT_EQ(part[9 * 30 + 14], ExpectedColour(screen, 479 * 640 + 639)) << c.name;
        EXPECT_EQ(part[10 * 30 + 15], 0x12345678u) << c.name;
    }
}

}  // namespace
