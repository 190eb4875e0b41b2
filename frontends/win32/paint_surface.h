// The picture as the window shows it: a 640 x 480 DIB section of 32-bit BGRX pixels, top
// row first, selected into a memory DC. A paint lets the shell compose the update rectangle
// into it and then copies just that rectangle to the window.
#pragma once

#include <windows.h>

#include <cstdint>

struct PaintSurface {
    HDC memoryDC = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    uint32_t* pixels = nullptr;  // owned by `bitmap`

    // "Failed to create DIBSection." and false when the bitmap cannot be made.
    bool Create(HWND window);
    // Releases the bitmap, then the DC; harmless when repeated.
    void Destroy();
    // Composes `area` (window coordinates, clipped to the picture) and copies it to `dc`.
    void Paint(HDC dc, const RECT& area);
};
