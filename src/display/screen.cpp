#include "display/screen.h"

#include <algorithm>
#include <cstring>

#include "common/allocation.h"
#include "display/status_font.h"

namespace {

constexpr size_t kPixelCount = static_cast<size_t>(Screen::kWidth) * Screen::kHeight;
constexpr ScreenRect kClientRect{0, 0, Screen::kWidth, Screen::kHeight};

constexpr uint32_t kBlackColour = 0x000000;
constexpr uint32_t kWhiteColour = 0xFFFFFF;
constexpr uint32_t kTextInkColour = 0x000000;
constexpr uint32_t kTextPaperColour = 0xFFFFFF;

// The paper reaches this far beyond the text on the left and right.
constexpr int64_t kStatusPadding = 2;

size_t PixelIndex(int32_t x, int32_t y) {
    return static_cast<size_t>(y) * Screen::kWidth + static_cast<size_t>(x);
}

// Marks one pixel as part of the status line. The index written matters only to readers of
// `bits` alone; the layer fixes the colour.
void PutTextPixel(Screen& screen, int32_t x, int32_t y, Screen::Layer layer) {
    const size_t index = PixelIndex(x, y);
    screen.layer[index] = layer;
    screen.bits[index] = layer == Screen::kTextInk ? 0 : 255;
    screen.shown[index] = layer == Screen::kTextInk ? kTextInkColour : kTextPaperColour;
}

void ClearArea(Screen& screen, const ScreenRect& area) {
    if (area.Empty()) return;
    const size_t count = static_cast<size_t>(area.right - area.left);
    for (int32_t y = area.top; y < area.bottom; ++y) {
        const size_t first = PixelIndex(area.left, y);
        std::fill_n(screen.bits.data() + first, count, uint8_t{0});
        std::fill_n(screen.layer.data() + first, count, uint8_t{Screen::kBlack});
        std::fill_n(screen.shown.data() + first, count, kBlackColour);
    }
}

// Clears what of `area` lies outside `keep`.
void ClearOutside(Screen& screen, const ScreenRect& area, const ScreenRect& keep) {
    if (area.Empty()) return;
    if (keep.Empty()) {
        ClearArea(screen, area);
        return;
    }
    for (int32_t y = area.top; y < area.bottom; ++y) {
        if (y < keep.top || y >= keep.bottom) {
            ClearArea(screen, ScreenRect{area.left, y, area.right, y + 1});
            continue;
        }
        ClearArea(screen, ScreenRect{area.left, y, std::min(area.right, keep.left), y + 1});
        ClearArea(screen, ScreenRect{std::max(area.left, keep.right), y, area.right, y + 1});
    }
}

// What a pixel shows, from its layer and index: the meaning that `shown` keeps.
uint32_t ColourOf(const Screen& screen, size_t index) {
    switch (screen.layer[index]) {
        case Screen::kBlack:
            return kBlackColour;
        case Screen::kTextInk:
            return kTextInkColour;
        case Screen::kTextPaper:
            return kTextPaperColour;
        default:
            return screen.colourTable[screen.bits[index]];
    }
}

}  // namespace

Screen g_screen;

ScreenRect ClipToScreen(const ScreenRect& rect) {
    return ScreenRect{std::max(rect.left, 0), std::max(rect.top, 0),
                      std::min(rect.right, Screen::kWidth), std::min(rect.bottom, Screen::kHeight)};
}

void ClearScreen() {
    g_screen.Clear();
}

void DrawStatusText(const char* text) {
    g_screen.DrawText(text);
}

bool Screen::Create() {
    if (created) Destroy();
    if (!TryResize(bits, kPixelCount) || !TryResize(layer, kPixelCount) ||
        !TryResize(shown, kPixelCount)) {
        Destroy();
        return false;
    }
    std::fill(bits.begin(), bits.end(), uint8_t{0});
    std::fill(layer.begin(), layer.end(), uint8_t{kIndexed});
    std::fill(std::begin(colourTable), std::end(colourTable), kBlackColour);
    colourTable[255] = kWhiteColour;
    std::fill(shown.begin(), shown.end(), colourTable[0]);
    indexedShown = true;
    drawn = kClientRect;
    invalid = ScreenRect{};
    created = true;
    return true;
}

void Screen::Destroy() {
    std::vector<uint8_t>().swap(bits);
    std::vector<uint8_t>().swap(layer);
    std::vector<uint32_t>().swap(shown);
    indexedShown = false;
    created = false;
}

// Drawing needs the buffers: on a screen that is not created it changes nothing.
void Screen::Clear() {
    if (!created) return;
    ClearArea(*this, drawn);
    ClearArea(*this, drawnText);
    Invalidate(drawn.Union(drawnText));
    drawn = ScreenRect{};
    drawnText = ScreenRect{};
    indexedShown = false;
}

void Screen::SetPalette(const uint8_t* colours, uint32_t count) {
    // The colour table has 256 entries; more colours than that have nowhere to go.
    count = std::min<uint32_t>(count, 256);
    bool changed = false;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t colour = static_cast<uint32_t>(colours[3 * i]) << 16 |
                          static_cast<uint32_t>(colours[3 * i + 1]) << 8 | colours[3 * i + 2];
        // Entry 255 stays white; only a palette that reaches it could have changed it.
        if (i == 255) colour = kWhiteColour;
        changed |= colourTable[i] != colour;
        colourTable[i] = colour;
    }
    // The pixels already drawn through the table take its new colours, as a bitmap's do.
    // After a clear there are none, which is how the viewer always draws.
    if (changed && indexedShown && created) {
        for (size_t i = 0; i < kPixelCount; ++i) shown[i] = ColourOf(*this, i);
        Invalidate(drawn);
    }
}

void Screen::DrawImage(const IndexedImage& image) {
    DrawScaled(image, 1);
}

void Screen::DrawImageDoubled(const IndexedImage& image) {
    DrawScaled(image, 2);
}

void Screen::ShowImage(const IndexedImage& image, bool doubled) {
    const int64_t scale = doubled ? 2 : 1;
    if (!created) {
        DrawScaled(image, scale);
        return;
    }
    const ScreenRect images = drawn;
    const ScreenRect text = drawnText;
    // The image is drawn over what is there, as over a cleared screen: nothing shown before
    // is to be recoloured by its palette. What it does not cover is cleared afterwards.
    drawn = ScreenRect{};
    drawnText = ScreenRect{};
    indexedShown = false;
    DrawScaled(image, scale);
    ClearOutside(*this, images, drawn);
    ClearOutside(*this, text, drawn);
    Invalidate(images.Union(text));
}

void Screen::DrawScaled(const IndexedImage& image, int64_t scale) {
    const uint32_t loadable = static_cast<uint32_t>(image.palette.size() / 3);
    SetPalette(image.palette.data(), std::min(image.paletteCount, loadable));

    // Sums are taken in 64 bits so that a position near the limits of int32_t cannot wrap;
    // within those limits this is the same arithmetic as 32 bits. Everything below is in
    // screen pixels, the image covering `scale` x `scale` of them with each of its own.
    const int64_t x = image.x * scale;
    const int64_t y = image.y * scale;
    const int64_t width = image.width * scale;
    const int64_t height = image.height * scale;
    if (!created) return;
    if (x + width < 0 || x > kWidth) return;
    if (y + height < 0 || y > kHeight) return;
    // An image whose buffer is shorter than its size says has nothing trustworthy to copy.
    if (image.pixels.size() < size_t{image.width} * image.height) return;

    const int64_t destinationColumn = std::max<int64_t>(x, 0);
    const int64_t destinationRow = std::max<int64_t>(y, 0);
    const int64_t copyWidth = std::min<int64_t>(x + width, kWidth) - destinationColumn;
    const int64_t copyHeight = std::min<int64_t>(y + height, kHeight) - destinationRow;

    // An image with rows but no columns, or columns but no rows, has no pixel buffer at all:
    // not even a position in it may be computed.
    if (copyWidth <= 0 || copyHeight <= 0) return;
    indexedShown = true;
    const ScreenRect copied{static_cast<int32_t>(destinationColumn),
                            static_cast<int32_t>(destinationRow),
                            static_cast<int32_t>(destinationColumn + copyWidth),
                            static_cast<int32_t>(destinationRow + copyHeight)};
    drawn = drawn.Union(copied);
    Invalidate(copied);
    const auto count = static_cast<size_t>(copyWidth);
    const auto firstColumn = static_cast<size_t>(destinationColumn - x);  // in the scaled image
    for (int64_t row = 0; row < copyHeight; ++row) {
        const int64_t imageRow = destinationRow + row - y;  // in the scaled image
        const auto at = static_cast<size_t>((destinationRow + row) * kWidth + destinationColumn);
        if (row > 0 && imageRow % scale != 0) {
            // The same image row as the screen row above: one block copy of each buffer.
            std::memcpy(bits.data() + at, bits.data() + at - kWidth, count);
            std::memcpy(layer.data() + at, layer.data() + at - kWidth, count);
            std::memcpy(shown.data() + at, shown.data() + at - kWidth, count * sizeof(uint32_t));
            continue;
        }
        const uint8_t* source = image.pixels.data() + imageRow / scale * image.width;
        uint8_t* indices = bits.data() + at;
        uint32_t* colours = shown.data() + at;
        std::fill_n(layer.data() + at, count, uint8_t{kIndexed});
        if (scale == 1) {
            std::memcpy(indices, source + firstColumn, count);
            for (size_t i = 0; i < count; ++i) colours[i] = colourTable[indices[i]];
            continue;
        }
        // Doubled: each image pixel looked up once for its two screen pixels. The image's x
        // is doubled, so the first screen column is the first of a pair; a row cut at the
        // right edge may end on half a pair.
        const uint8_t* from = source + firstColumn / 2;
        const size_t pairs = count / 2;
        for (size_t pair = 0; pair < pairs; ++pair) {
            const uint8_t index = from[pair];
            const uint32_t colour = colourTable[index];
            indices[2 * pair] = index;
            indices[2 * pair + 1] = index;
            colours[2 * pair] = colour;
            colours[2 * pair + 1] = colour;
        }
        if (count % 2 != 0) {
            indices[count - 1] = from[pairs];
            colours[count - 1] = colourTable[from[pairs]];
        }
    }
}

void Screen::DrawText(const char* text) {
    if (!created) return;
    // Centred as a one-line centred text is: half the spare width to the left, which is
    // negative for a text wider than the screen, so both ends are cut off alike.
    const int64_t length = static_cast<int64_t>(std::strlen(text));
    if (length > 0) {
        const int64_t textWidth = length * kStatusFontCellWidth;
        const int64_t textLeft = (kWidth - textWidth) / 2;
        const int32_t boxLeft =
            static_cast<int32_t>(std::max<int64_t>(textLeft - kStatusPadding, 0));
        const int32_t boxRight =
            static_cast<int32_t>(std::min<int64_t>(textLeft + textWidth + kStatusPadding, kWidth));
        const ScreenRect box{boxLeft, 0, boxRight, kStatusFontCellHeight};
        drawnText = drawnText.Union(box);
        Invalidate(box);
        // Paper over the whole box, then the ink of the characters that show, glyph row by
        // glyph row: a call per character and row rather than per pixel.
        const size_t boxWidth = static_cast<size_t>(boxRight - boxLeft);
        for (int32_t y = 0; y < kStatusFontCellHeight; ++y) {
            const size_t first = PixelIndex(boxLeft, y);
            std::fill_n(layer.data() + first, boxWidth, uint8_t{kTextPaper});
            std::fill_n(bits.data() + first, boxWidth, uint8_t{255});
            std::fill_n(shown.data() + first, boxWidth, kTextPaperColour);
        }
        const int64_t firstCharacter =
            std::max<int64_t>((boxLeft - textLeft) / kStatusFontCellWidth, 0);
        const int64_t endCharacter = std::min<int64_t>(
            (boxRight - textLeft + kStatusFontCellWidth - 1) / kStatusFontCellWidth, length);
        for (int64_t character = firstCharacter; character < endCharacter; ++character) {
            const uint8_t* glyph = StatusFontGlyph(static_cast<uint8_t>(text[character]));
            const int64_t cellLeft = textLeft + character * kStatusFontCellWidth;
            for (int32_t y = 0; y < kStatusFontCellHeight; ++y) {
                for (int32_t bit = 0; bit < kStatusFontCellWidth; ++bit) {
                    const int64_t x = cellLeft + bit;
                    if ((glyph[y] & (0x80 >> bit)) == 0 || x < boxLeft || x >= boxRight) continue;
                    PutTextPixel(*this, static_cast<int32_t>(x), y, kTextInk);
                }
            }
        }
    }
}

ScreenRect Screen::TakeInvalid() {
    const ScreenRect taken = invalid;
    invalid = ScreenRect{};
    return taken;
}

uint32_t Screen::ColourAt(int32_t x, int32_t y) const {
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight || !created) return kBlackColour;
    return shown[PixelIndex(x, y)];
}

void Screen::Compose(const ScreenRect& rect, uint32_t* out, size_t stride) const {
    const ScreenRect visible = ClipToScreen(rect);
    if (visible.Empty()) return;
    const size_t rowPixels = static_cast<size_t>(visible.right - visible.left);
    for (int32_t y = visible.top; y < visible.bottom; ++y) {
        uint32_t* row =
            out + static_cast<size_t>(y - rect.top) * stride + (visible.left - rect.left);
        if (created) {
            std::memcpy(row, shown.data() + PixelIndex(visible.left, y),
                        rowPixels * sizeof(uint32_t));
        } else {
            std::fill_n(row, rowPixels, kBlackColour);
        }
    }
}

void Screen::Invalidate(const ScreenRect& rect) {
    const ScreenRect visible = ClipToScreen(rect);
    if (!visible.Empty()) invalid = invalid.Union(visible);
}
