// DuzuRoro.exe: the process entry, the main window, and the Windows definitions of the
// front-end functions. The shell does the work; this file turns window messages into shell
// messages and copies the shell's picture to the window.
#include <windows.h>

#include <commdlg.h>

#include <string>

#include "app/chosen_file.h"
#include "app/resource_ids.h"
#include "app/shell.h"
#include "display/screen.h"
#include "frontends/win32/paint_surface.h"

namespace {

constexpr char kClassName[] = "DUZURORO";
constexpr char kWindowTitle[] = "DuzuRoro";
// Caption, system menu and minimise box: the window has a fixed size.
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
static_assert(kWindowStyle == 0x00CA0000);
constexpr DWORD kOpenFlags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
static_assert(kOpenFlags == 0x1004);

HINSTANCE g_instance = nullptr;
HWND g_window = nullptr;  // null before the window exists and once it is destroyed
PaintSurface g_surface;
bool g_shellRunning = false;  // messages reach the shell only between start and stop

void PaintWindow(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr) g_surface.Paint(dc, paint.rcPaint);
    EndPaint(window, &paint);
}

LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_shellRunning) {
        switch (message) {
            case WM_PAINT:
                PaintWindow(window);
                return 0;
            case WM_DESTROY:
                ShellHandleMessage(MSG_DESTROY, wParam, lParam);
                g_window = nullptr;
                return 0;
            case WM_COMMAND:
            case WM_KEYDOWN:
                if (ShellHandleMessage(message, wParam, lParam)) return 0;
                break;
            default:
                break;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClass() {
    WNDCLASSA windowClass = {};
    windowClass.style = 0;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = g_instance;
    windowClass.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(ICON_MAIN));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = nullptr;  // painting always copies the whole back buffer
    windowClass.lpszMenuName = MAKEINTRESOURCEA(MENU_MAIN);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
}

HWND CreateMainWindow() {
    RECT outer = {0, 0, Screen::kWidth, Screen::kHeight};
    AdjustWindowRect(&outer, kWindowStyle, TRUE);
    return CreateWindowExA(0, kClassName, kWindowTitle, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                           outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                           g_instance, nullptr);
}

// The open dialog's filter: its name and its patterns ("*.LA0;*.HE0;*.000"), each ended by
// a 0; c_str's 0 then ends the list. The dialog matches the patterns in any letter case.
std::string IndexFileFilter() {
    std::string patterns;
    for (const char* extension : kIndexFileExtensions) {
        if (!patterns.empty()) patterns += ';';
        patterns += std::string("*.") + extension;
    }
    return std::string(kIndexFileFilterName) + '\0' + patterns + '\0';
}

int RunMessageLoop() {
    MSG message;
    BOOL fetched;
    // GetMessageA gives -1 on failure: treat it as the end rather than spinning on it.
    while ((fetched = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return fetched == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace

void FrontendShowError(const char* text) {
    MessageBoxA(g_window, text, "Error", MB_ICONERROR);
}

bool FrontendChooseIndexFile(ChosenFile* choice) {
    char path[MAX_PATH] = {};
    char title[MAX_PATH] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = g_window;
    const std::string filter = IndexFileFilter();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = sizeof title;
    dialog.Flags = kOpenFlags;
    if (!GetOpenFileNameA(&dialog)) return false;
    choice->path = path;
    choice->fileOffset = dialog.nFileOffset;
    choice->extensionOffset = dialog.nFileExtension;
    return true;
}

void FrontendRepaint(const ScreenRect& rect) {
    // A null window would invalidate every window on the desktop.
    if (g_window == nullptr) return;
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(g_window, &area, FALSE);
}

void FrontendDestroyWindow() {
    if (g_window != nullptr) DestroyWindow(g_window);
}

void FrontendQuit(int exitCode) {
    PostQuitMessage(exitCode);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showState) {
    g_instance = instance;
    RegisterWindowClass();
    g_window = CreateMainWindow();

    int exitCode = 1;
    if (g_window != nullptr && g_surface.Create(g_window) && ShellStart()) {
        g_shellRunning = true;
        ShowWindow(g_window, showState);
        exitCode = RunMessageLoop();
    }

    g_shellRunning = false;
    ShellStop();
    g_surface.Destroy();
    return exitCode;
}
