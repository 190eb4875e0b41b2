// The back buffer of the main window: 640 x 480 colour indices with a 256-entry colour
// table. Everything the program shows is drawn here; front-ends only copy it out.
//
// The black of a clear and the colours of the status line are kept apart from the colour
// table (in `layer`), so that a palette loaded later cannot recolour them.
#pragma once

#include <cstdint>
#include <vector>

#include "display/indexed_image.h"
#include "display/screen_rect.h"

struct Screen {
    static constexpr int32_t kWidth = 640;
    static constexpr int32_t kHeight = 480;

    // What a pixel shows: its index through the colour table, or one of the fixed colours.
    enum Layer : uint8_t { kIndexed = 0, kBlack = 1, kTextInk = 2, kTextPaper = 3 };

    bool created = false;
    std::vector<uint8_t> bits;       // kWidth x kHeight indices, row r at r x 640
    std::vector<uint8_t> layer;      // one Layer per pixel
    uint32_t colourTable[256] = {};  // 0x00RRGGBB
    // The colour each pixel shows, kept in step by every drawing operation so that painting
    // is a copy rather than a lookup per pixel. `indexedShown` says whether any pixel shows
    // its index through the colour table, which a new palette must then recolour.
    std::vector<uint32_t> shown;
    bool indexedShown = false;
    // Together hold every pixel that differs from a cleared one, so that a clear only has to
    // undo, and a front-end only repaint, what was drawn since the last: a small frame's key
    // press stays small. Images and the status line are kept apart, since the box around
    // both a frame at the corner and the centred status line would be several times the two.
    ScreenRect drawn;      // images
    ScreenRect drawnText;  // the status line
    ScreenRect invalid;    // around what was drawn, cleared or recoloured since last taken

    // Allocates the buffers: indices 0, colour table black but entry 255 white.
    bool Create();
    void Destroy();

    void Clear();
    void SetPalette(const uint8_t* colours, uint32_t count);
    void DrawImage(const IndexedImage& image);
    // The same with every pixel of the image as 2 x 2 screen pixels, the image's position
    // doubled as well: the zoomed picture, cut at the screen's edges.
    void DrawImageDoubled(const IndexedImage& image);
    // Clear, then DrawImage (or DrawImageDoubled): the same picture, without first clearing
    // what the image then covers, which for a frame the size of the screen is all of it.
    void ShowImage(const IndexedImage& image, bool doubled);
    // One line of text centred at the top, dark on a light box; clipped at the edges.
    void DrawText(const char* text);

    // The box around every pixel drawn, cleared or recoloured since the last call, then none.
    ScreenRect TakeInvalid();
    // The colour (0x00RRGGBB) a pixel shows.
    uint32_t ColourAt(int32_t x, int32_t y) const;
    // Writes the colours of `rect` to `out`, row by row, `stride` pixels apart. On a
    // little-endian machine these are the B, G, R, X bytes of a 32-bit DIB or cairo RGB24.
    void Compose(const ScreenRect& rect, uint32_t* out, size_t stride) const;

    void Invalidate(const ScreenRect& rect);
    // DrawImage and DrawImageDoubled: `scale` 1 or 2.
    void DrawScaled(const IndexedImage& image, int64_t scale);
};

// The part of `rect` inside the 640 x 480 screen; empty when none of it is.
ScreenRect ClipToScreen(const ScreenRect& rect);

// The process-wide screen: the shell creates it at start and destroys it at stop.
extern Screen g_screen;

// The two operations the floors above use on the process-wide screen.
void ClearScreen();
void DrawStatusText(const char* text);
