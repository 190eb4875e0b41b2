#include "app/shell.h"

#include "app/open_command.h"
#include "app/process_objects.h"

namespace {

// Tells the front-end what the last message changed on the screen.
void RepaintInvalid() {
    const ScreenRect changed = g_screen.TakeInvalid();
    if (!changed.Empty()) FrontendRepaint(changed);
}

// Copies the asked-for part of the back buffer out to the front-end's pixels.
void Paint(const PaintRequest* request) {
    if (!request || !request->pixels) return;
    g_screen.Compose(request->rect, request->pixels, request->stride);
}

struct KeyAction {
    uint32_t key;
    void (*act)(CostumeViewer& viewer);
};

const KeyAction kKeyActions[] = {
    {KEY_LEFT, [](CostumeViewer& viewer) { viewer.PreviousFrame(); }},
    {KEY_UP, [](CostumeViewer& viewer) { viewer.NextCostume(); }},
    {KEY_RIGHT, [](CostumeViewer& viewer) { viewer.NextFrame(); }},
    {KEY_DOWN, [](CostumeViewer& viewer) { viewer.PreviousCostume(); }},
    {KEY_ADD, [](CostumeViewer& viewer) { viewer.zoom = true; }},
    {KEY_SUBTRACT, [](CostumeViewer& viewer) { viewer.zoom = false; }},
};

// One of the six keys: consumed even before a game is open; after its action, whatever
// came of it, the viewer draws again. False for any other key.
bool PressKey(uintptr_t key) {
    for (const KeyAction& action : kKeyActions) {
        if (action.key != key) continue;
        if (g_viewer) {
            action.act(*g_viewer);
            g_viewer->Draw(g_screen);
        }
        return true;
    }
    return false;
}

// Costume first, then zoom, then frame, each drawn as its key would draw it: the screen is
// the one those keys leave, so that it matches a window pixel for pixel.
void ShowFrame(ShowFrameRequest* request) {
    if (!request || !g_viewer) return;
    CostumeViewer& viewer = *g_viewer;
    request->gameOpen = true;
    request->costumeCount = viewer.CostumeCount();
    if (viewer.costumeNumber != request->costume) viewer.SelectCostume(request->costume);
    if (viewer.costumeNumber != request->costume) return;  // past the end, and said
    viewer.zoom = request->zoom;
    viewer.Draw(g_screen);
    request->costumeLoaded = viewer.costumeLoaded;
    if (!viewer.costumeLoaded) return;
    request->frameCount = viewer.loaded.costume->FrameCount();
    // A costume is shown from frame 1, even when that frame could not be read.
    const uint16_t current = viewer.loaded.costume->currentFrame;
    if (request->frame == (current == 0 ? 1 : current)) return;
    viewer.SelectFrame(request->frame);
    if (request->frame <= request->frameCount) viewer.Draw(g_screen);
}

}  // namespace

bool ShellStart() {
    if (!g_screen.Create()) return false;
    g_screen.Clear();
    DrawStatusText("Please open a file.");
    RepaintInvalid();
    return true;
}

bool ShellHandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    bool handled = true;
    switch (message) {
        case MSG_DESTROY:
            FrontendQuit(0);
            break;
        case MSG_PAINT:
            Paint(reinterpret_cast<const PaintRequest*>(lParam));
            break;
        case MSG_COMMAND:
            switch (wParam & 0xFFFF) {
                case CMD_EXIT:
                    FrontendDestroyWindow();
                    break;
                case CMD_OPEN:
                    RunOpenCommand();
                    break;
                default:
                    handled = false;
            }
            break;
        case MSG_KEYDOWN:
            handled = PressKey(wParam);
            break;
        case MSG_SHOW_FRAME:
            ShowFrame(reinterpret_cast<ShowFrameRequest*>(lParam));
            break;
        default:
            handled = false;
    }
    RepaintInvalid();
    return handled;
}

void ShellStop() {
    ReleaseViewer();
    g_screen.Destroy();
}
