// Text on Windows: a console is given the UTF-16 it draws, whatever its code page; a file or
// a pipe gets the UTF-8 bytes unchanged (the streams are binary: see windows_main.cpp).
#include <windows.h>

#include <io.h>

#include <algorithm>

#include "frontends/cli/console_text.h"

namespace {

bool IsConsole(std::FILE* stream) {
    const intptr_t handle = _get_osfhandle(_fileno(stream));
    DWORD mode = 0;
    return handle != -1 && GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode) != 0;
}

// Invalid bytes become U+FFFD on the screen; nothing is dropped silently.
std::wstring ForConsole(const std::string& text) {
    std::wstring wide;
    if (text.empty()) return wide;
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return wide;
    wide.resize(static_cast<size_t>(needed));
    MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide.data(), needed);
    return wide;
}

}  // namespace

bool StderrIsTerminal() {
    static const bool console = IsConsole(stderr);
    return console;
}

void WriteText(std::FILE* stream, const std::string& text) {
    static const bool consoleOut = IsConsole(stdout), consoleErr = IsConsole(stderr);
    const bool console = stream == stdout ? consoleOut : stream == stderr ? consoleErr : false;
    if (!console) {
        std::fwrite(text.data(), 1, text.size(), stream);
        return;
    }
    const std::wstring wide = ForConsole(text);
    std::fflush(stream);  // what went through the C runtime before comes first
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    for (size_t done = 0; done < wide.size();) {
        DWORD written = 0;
        size_t chunk = std::min<size_t>(wide.size() - done, 16384);
        if (chunk > 1 && IS_HIGH_SURROGATE(wide[done + chunk - 1])) --chunk;  // keep pairs whole
        if (!WriteConsoleW(handle, wide.data() + done, static_cast<DWORD>(chunk), &written, nullptr) || written == 0) {
            return;
        }
        done += written;
    }
}
