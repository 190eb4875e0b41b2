// The rest of the headless front-end: the open dialog answers from a queue, repaints go
// into the kept picture through the shell's own paint message, and the drivers that run
// a session.
#include "app/shell.h"
#include "display/screen.h"
#include "frontends/headless/headless_frontend.h"

bool FrontendChooseIndexFile(ChosenFile* choice) {
    ++g_headless.dialogsShown;
    if (g_headless.answers.empty()) return false;
    const std::optional<ChosenFile> answer = g_headless.answers.front();
    g_headless.answers.pop_front();
    if (!answer) return false;
    *choice = *answer;
    return true;
}

void FrontendRepaint(const ScreenRect& rect) {
    g_headless.repaints.push_back(rect);
    const PaintRequest request = PaintRequestFor(rect, g_headless.picture.data(), Screen::kWidth);
    ShellHandleMessage(MSG_PAINT, 0, reinterpret_cast<intptr_t>(&request));
}

void FrontendDestroyWindow() {
    g_headless.windowDestroyed = true;
    ShellHandleMessage(MSG_DESTROY, 0, 0);
}

void FrontendQuit(int exitCode) {
    g_headless.quit = true;
    g_headless.exitCode = exitCode;
}

bool HeadlessStart() {
    if (ShellStart()) return true;
    g_headless.exitCode = 1;
    return false;
}

bool HeadlessPressKey(uint32_t key) {
    return ShellHandleMessage(MSG_KEYDOWN, key, 0);
}

bool HeadlessChooseCommand(uint32_t command) {
    return ShellHandleMessage(MSG_COMMAND, command, 0);
}

void HeadlessOpen(const std::string& path) {
    g_headless.answers.push_back(HeadlessChosenFile(path));
    HeadlessChooseCommand(CMD_OPEN);
}

// The close box destroys the window just as File > Exit does.
void HeadlessClose() {
    FrontendDestroyWindow();
}

int HeadlessStop() {
    ShellStop();
    return g_headless.exitCode;
}

std::vector<uint8_t> HeadlessPictureRgb() {
    std::vector<uint8_t> rgb;
    rgb.reserve(g_headless.picture.size() * 3);
    for (uint32_t colour : g_headless.picture) {
        rgb.push_back(static_cast<uint8_t>(colour >> 16));
        rgb.push_back(static_cast<uint8_t>(colour >> 8));
        rgb.push_back(static_cast<uint8_t>(colour));
    }
    return rgb;
}

ChosenFile HeadlessChosenFile(const std::string& path) {
    return ChosenFileFromPath(path, "/\\");
}
