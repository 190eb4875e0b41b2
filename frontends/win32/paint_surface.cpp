#include "frontends/win32/paint_surface.h"

#include "app/shell.h"
#include "common/report_error.h"
#include "display/screen.h"

bool PaintSurface::Create(HWND window) {
    Destroy();
    HDC windowDC = GetDC(window);
    memoryDC = CreateCompatibleDC(windowDC);
    ReleaseDC(window, windowDC);
    if (memoryDC == nullptr) {
        ReportError("Failed to create DIBSection.");
        return false;
    }

    BITMAPINFO description = {};
    description.bmiHeader.biSize = sizeof description.bmiHeader;
    description.bmiHeader.biWidth = Screen::kWidth;
    description.bmiHeader.biHeight = -Screen::kHeight;  // top-down, as the shell composes
    description.bmiHeader.biPlanes = 1;
    description.bmiHeader.biBitCount = 32;
    description.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = CreateDIBSection(memoryDC, &description, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        DeleteDC(memoryDC);
        memoryDC = nullptr;
        ReportError("Failed to create DIBSection.");
        return false;
    }
    pixels = static_cast<uint32_t*>(bits);
    previousBitmap = SelectObject(memoryDC, bitmap);
    return true;
}

void PaintSurface::Destroy() {
    if (bitmap != nullptr) {
        SelectObject(memoryDC, previousBitmap);
        DeleteObject(bitmap);
        bitmap = nullptr;
        pixels = nullptr;
    }
    if (memoryDC != nullptr) {
        DeleteDC(memoryDC);
        memoryDC = nullptr;
    }
}

void PaintSurface::Paint(HDC dc, const RECT& area) {
    const PaintRequest request = PaintRequestFor(
        ScreenRect{area.left, area.top, area.right, area.bottom}, pixels, Screen::kWidth);
    if (request.rect.Empty() || request.pixels == nullptr) return;
    ShellHandleMessage(MSG_PAINT, 0, reinterpret_cast<intptr_t>(&request));
    const ScreenRect& rect = request.rect;
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memoryDC,
           rect.left, rect.top, SRCCOPY);
}
