#include "frontends/cli/cli_frontend.h"

#include <optional>

#include "app/frontend.h"
#include "app/shell.h"
#include "display/screen.h"
#include "export/export_report.h"
#include "frontends/cli/cli_output.h"

namespace {

std::optional<std::string> g_answer;
std::vector<uint32_t> g_picture(size_t{Screen::kWidth} * Screen::kHeight);

}  // namespace

void AnswerNextOpenDialog(const std::string& path) {
    g_answer = path;
}

std::vector<uint8_t> WindowPictureRgb() {
    std::vector<uint8_t> rgb;
    rgb.reserve(g_picture.size() * 3);
    for (uint32_t colour : g_picture) {
        rgb.push_back(static_cast<uint8_t>(colour >> 16));
        rgb.push_back(static_cast<uint8_t>(colour >> 8));
        rgb.push_back(static_cast<uint8_t>(colour));
    }
    return rgb;
}

void FrontendShowError(const char* text) {
    if (ReportToCurrent(text)) return;
    ExportReport report = PrintingReport();
    report.Error(text);
}

bool FrontendChooseIndexFile(ChosenFile* choice) {
    if (!g_answer) return false;
    *choice = ChosenFileFromPath(*g_answer, "/\\");
    g_answer.reset();
    return true;
}

void FrontendRepaint(const ScreenRect& rect) {
    PaintRequest request;
    request.rect = rect;
    request.pixels = g_picture.data() + static_cast<size_t>(rect.top) * Screen::kWidth +
                     static_cast<size_t>(rect.left);
    request.stride = Screen::kWidth;
    ShellHandleMessage(MSG_PAINT, 0, reinterpret_cast<intptr_t>(&request));
}

void FrontendDestroyWindow() {
    ShellHandleMessage(MSG_DESTROY, 0, 0);
}

void FrontendQuit(int) {}
