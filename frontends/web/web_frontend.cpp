// The front-end functions in a web page, and the few entry points the page calls. The page
// (viewer_page.js) turns its clicks, keys and chosen files into these calls; pixels and
// messages go back to it through the two functions below written in JavaScript.
//
// An error cannot stop the shell in the middle of a call as a message box does, so the page
// queues each message and shows them one by one after the call returns, holding every later
// key and open until the last one is acknowledged.
#include <emscripten.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/chosen_file.h"
#include "app/program_icon.h"
#include "app/shell.h"
#include "display/screen.h"
#include "export/export_report.h"

namespace {

constexpr size_t kPixelCount = static_cast<size_t>(Screen::kWidth) * Screen::kHeight;
std::vector<uint32_t> g_picture(kPixelCount);          // 0x00RRGGBB, as Screen::Compose writes
// Red, green, blue and alpha bytes in memory, as ImageData takes them: WebAssembly is
// little-endian, so each pixel is the number 0xAABBGGRR.
std::vector<uint32_t> g_canvasPixels(kPixelCount);
std::optional<ChosenFile> g_chosenFile;

struct KeyBinding {
    const char* code;  // KeyboardEvent.code
    ShellKey key;
};

// The arrows, and the keypad's plus and minus only: the main keyboard's keep their meaning.
constexpr KeyBinding kKeys[] = {
    {"ArrowLeft", KEY_LEFT}, {"ArrowUp", KEY_UP},    {"ArrowRight", KEY_RIGHT},
    {"ArrowDown", KEY_DOWN}, {"NumpadAdd", KEY_ADD}, {"NumpadSubtract", KEY_SUBTRACT},
};

// The canvas's pixels are g_canvasPixels; the page copies `rect` of them to the canvas.
EM_JS(void, CanvasChanged, (const uint8_t* rgba, int left, int top, int right, int bottom),
      { pageCanvasChanged(rgba, left, top, right, bottom); });

EM_JS(void, QueueErrorDialog, (const char* text), { pageQueueError(UTF8ToString(text)); });

// A whole pixel per store, so that the compiler can do several at once: this runs over the
// changed area at every key and costs more than the frame's decoding when done byte by byte.
void ToCanvasPixels(const ScreenRect& rect) {
    const size_t width = static_cast<size_t>(rect.right - rect.left);
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        const size_t row = static_cast<size_t>(y) * Screen::kWidth + static_cast<size_t>(rect.left);
        const uint32_t* in = g_picture.data() + row;
        uint32_t* out = g_canvasPixels.data() + row;
        for (size_t x = 0; x < width; ++x) {
            const uint32_t colour = in[x];
            out[x] = 0xFF000000u | ((colour & 0xFFu) << 16) | (colour & 0xFF00u) |
                     ((colour >> 16) & 0xFFu);
        }
    }
}

}  // namespace

// While the studio runs a job of the export library, the core's failures are the job's.
void FrontendShowError(const char* text) {
    if (ReportToCurrent(text)) return;
    QueueErrorDialog(text);
}

bool FrontendChooseIndexFile(ChosenFile* choice) {
    if (!g_chosenFile) return false;
    *choice = *g_chosenFile;
    return true;
}

void FrontendRepaint(const ScreenRect& area) {
    const PaintRequest request = PaintRequestFor(area, g_picture.data(), Screen::kWidth);
    if (request.rect.Empty()) return;
    ShellHandleMessage(MSG_PAINT, 0, reinterpret_cast<intptr_t>(&request));
    const ScreenRect& rect = request.rect;
    ToCanvasPixels(rect);
    CanvasChanged(reinterpret_cast<const uint8_t*>(g_canvasPixels.data()), rect.left, rect.top,
                  rect.right, rect.bottom);
}

// A page has no File > Exit and its process never ends, so nothing asks for these.
void FrontendDestroyWindow() {}
void FrontendQuit(int) {}

extern "C" {

// Creates the screen with "Please open a file."; false when it cannot be created.
EMSCRIPTEN_KEEPALIVE bool WebStart() {
    return ShellStart();
}

// The shell's key for the KeyboardEvent.code `code`; 0 for a key the viewer does not take.
EMSCRIPTEN_KEEPALIVE uint32_t WebShellKey(const char* code) {
    for (const KeyBinding& binding : kKeys) {
        if (std::strcmp(binding.code, code) == 0) return binding.key;
    }
    return 0;
}

// `key` is one of the shell's key codes (from WebShellKey); false when the shell leaves it
// alone.
EMSCRIPTEN_KEEPALIVE bool WebPressKey(uint32_t key) {
    return ShellHandleMessage(MSG_KEYDOWN, key, 0);
}

// True when the file `name` is an index file, which the page offers to open.
EMSCRIPTEN_KEEPALIVE bool WebIsIndexFileName(const char* name) {
    return IsIndexFileName(name);
}

// File > Open with the index file `name` chosen in `folder` (ending in a slash), where the
// page has put it together with the files chosen beside it.
EMSCRIPTEN_KEEPALIVE void WebOpen(const char* folder, const char* name) {
    g_chosenFile = ChosenFileFromPath(std::string(folder) + name, "/");
    ShellHandleMessage(MSG_COMMAND, CMD_OPEN, 0);
    g_chosenFile.reset();
}

// The program icon as `size` x `size` RGBA pixels for the page's icon; null for a size the
// program does not carry. Valid until the next call.
EMSCRIPTEN_KEEPALIVE const uint8_t* WebProgramIconRgba(uint16_t size) {
    static std::vector<uint8_t> rgba;
    ProgramIcon icon;
    if (!icon.Draw(size)) return nullptr;
    rgba = icon.Rgba();
    return rgba.data();
}

}  // extern "C"
