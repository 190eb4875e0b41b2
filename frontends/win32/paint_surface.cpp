#include "frontends/win32/paint_surface.h"

#include <algorithm>

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
    PaintRequest request;
    request.rect.left = std::max<int32_t>(area.left, 0);
    request.rect.top = std::max<int32_t>(area.top, 0);
    request.rect.right = std::min<int32_t>(area.right, Screen::kWidth);
    request.rect.bottom = std::min<int32_t>(area.bottom, Screen::kHeight);
    if (pixels == nullptr || request.rect.Empty()) return;

    const size_t stride = Screen::kWidth;
    request.pixels = pixels + size_t(request.rect.top) * stride + size_t(request.rect.left);
    request.stride = stride;
    ShellHandleMessage(MSG_PAINT, 0, reinterpret_cast<intptr_t>(&request));
    BitBlt(dc, request.rect.left, request.rect.top, request.rect.right - request.rect.left,
           request.rect.bottom - request.rect.top, memoryDC, request.rect.left, request.rect.top,
           SRCCOPY);
}
