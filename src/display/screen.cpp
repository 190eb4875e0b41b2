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

ScreenRect ClipToScreen(const ScreenRect& rect) {
    return ScreenRect{std::max(rect.left, 0), std::max(rect.top, 0),
                      std::min(rect.right, Screen::kWidth), std::min(rect.bottom, Screen::kHeight)};
}

size_t PixelIndex(int32_t x, int32_t y) {
    return static_cast<size_t>(y) * Screen::kWidth + static_cast<size_t>(x);
}

// Marks one pixel as part of the status line. The index written matters only to readers of
// `bits` alone; the layer fixes the colour.
void PutTextPixel(Screen& screen, int32_t x, int32_t y, Screen::Layer layer) {
    const size_t index = PixelIndex(x, y);
    screen.layer[index] = layer;
    screen.bits[index] = layer == Screen::kTextInk ? 0 : 255;
}

}  // namespace

Screen g_screen;

void ClearScreen() {
    g_screen.Clear();
}

void DrawStatusText(const char* text) {
    g_screen.DrawText(text);
}

bool Screen::Create() {
    if (created) Destroy();
    if (!TryResize(bits, kPixelCount) || !TryResize(layer, kPixelCount)) {
        Destroy();
        return false;
    }
    std::fill(bits.begin(), bits.end(), uint8_t{0});
    std::fill(layer.begin(), layer.end(), uint8_t{kIndexed});
    std::fill(std::begin(colourTable), std::end(colourTable), kBlackColour);
    colourTable[255] = kWhiteColour;
    invalid = ScreenRect{};
    created = true;
    return true;
}

void Screen::Destroy() {
    std::vector<uint8_t>().swap(bits);
    std::vector<uint8_t>().swap(layer);
    created = false;
}

// Drawing needs the buffers: on a screen that is not created it changes nothing.
void Screen::Clear() {
    if (!created) return;
    std::fill(bits.begin(), bits.end(), uint8_t{0});
    std::fill(layer.begin(), layer.end(), uint8_t{kBlack});
    Invalidate(kClientRect);
}

void Screen::SetPalette(const uint8_t* colours, uint32_t count) {
    // The colour table has 256 entries; more colours than that have nowhere to go.
    count = std::min<uint32_t>(count, 256);
    for (uint32_t i = 0; i < count; ++i) {
        colourTable[i] = static_cast<uint32_t>(colours[3 * i]) << 16 |
                         static_cast<uint32_t>(colours[3 * i + 1]) << 8 | colours[3 * i + 2];
    }
    // Only the entries loaded change, so a short palette leaves entry 255 as it was.
    if (count == 256) colourTable[255] = kWhiteColour;
}

void Screen::DrawImage(const IndexedImage& image) {
    const uint32_t loadable = static_cast<uint32_t>(image.palette.size() / 3);
    SetPalette(image.palette.data(), std::min(image.paletteCount, loadable));

    // Sums are taken in 64 bits so that a position near the limits of int32_t cannot wrap;
    // within those limits this is the same arithmetic as 32 bits.
    const int64_t x = image.x;
    const int64_t y = image.y;
    const int64_t width = image.width;
    const int64_t height = image.height;
    if (!created) return;
    if (x + width < 0 || x > kWidth) return;
    if (y + height < 0 || y > kHeight) return;
    // An image whose buffer is shorter than its size says has nothing trustworthy to copy.
    if (image.pixels.size() < static_cast<size_t>(width * height)) return;

    const int64_t sourceColumn = x < 0 ? -x : 0;
    const int64_t sourceRow = y < 0 ? -y : 0;
    const int64_t destinationColumn = std::max<int64_t>(x, 0);
    const int64_t destinationRow = std::max<int64_t>(y, 0);
    const int64_t copyWidth = std::min<int64_t>(x + width, kWidth) - destinationColumn;
    const int64_t copyHeight = std::min<int64_t>(y + height, kHeight) - destinationRow;

    // An image with rows but no columns, or columns but no rows, has no pixel buffer at all:
    // not even a position in it may be computed.
    if (copyWidth > 0 && copyHeight > 0) {
        const uint8_t* source = image.pixels.data() + sourceRow * width + sourceColumn;
        for (int64_t row = 0; row < copyHeight; ++row) {
            const size_t destination =
                static_cast<size_t>((destinationRow + row) * kWidth + destinationColumn);
            std::memcpy(bits.data() + destination, source, static_cast<size_t>(copyWidth));
            std::fill_n(layer.data() + destination, copyWidth, uint8_t{kIndexed});
            source += width;
        }
    }
    Invalidate(kClientRect);
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
        for (int32_t y = 0; y < kStatusFontCellHeight; ++y) {
            for (int32_t x = boxLeft; x < boxRight; ++x) {
                Layer ink = kTextPaper;
                const int64_t column = x - textLeft;
                if (column >= 0 && column < textWidth) {
                    const uint8_t character =
                        static_cast<uint8_t>(text[column / kStatusFontCellWidth]);
                    const uint8_t rowBits = StatusFontGlyph(character)[y];
                    if (rowBits & (0x80 >> (column % kStatusFontCellWidth))) ink = kTextInk;
                }
                PutTextPixel(*this, x, y, ink);
            }
        }
    }
    Invalidate(kClientRect);
}

ScreenRect Screen::TakeInvalid() {
    const ScreenRect taken = invalid;
    invalid = ScreenRect{};
    return taken;
}

uint32_t Screen::ColourAt(int32_t x, int32_t y) const {
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight || !created) return kBlackColour;
    const size_t index = PixelIndex(x, y);
    switch (layer[index]) {
        case kBlack:
            return kBlackColour;
        case kTextInk:
            return kTextInkColour;
        case kTextPaper:
            return kTextPaperColour;
        default:
            return colourTable[bits[index]];
    }
}

void Screen::Compose(const ScreenRect& rect, uint32_t* out, size_t stride) const {
    const ScreenRect visible = ClipToScreen(rect);
    for (int32_t y = visible.top; y < visible.bottom; ++y) {
        uint32_t* row = out + static_cast<size_t>(y - rect.top) * stride;
        for (int32_t x = visible.left; x < visible.right; ++x) {
            row[x - rect.left] = ColourAt(x, y);
        }
    }
}

void Screen::Invalidate(const ScreenRect& rect) {
    invalid = invalid.Union(ClipToScreen(rect));
}
