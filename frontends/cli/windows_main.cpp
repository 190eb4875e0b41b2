// duzuroro-cli.exe's entry: the arguments as Windows holds them, in UTF-16, turned into the
// UTF-8 the tool works in, once, before anything else reads them. main.cpp's main is the
// Linux entry; this one replaces it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frontends/cli/console_text.h"
#include "frontends/cli/run_tool.h"
#include "frontends/win32/narrow_text.h"

namespace {

UINT g_consoleCodePage = 0;

void RestoreConsoleCodePage() {
    SetConsoleOutputCP(g_consoleCodePage);
}

// The bytes written are the Linux tool's: no "\r" before each "\n" in a file or a pipe; and
// text the C runtime sends to a console (the option parser's help) is read as UTF-8 there.
void PrepareStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    g_consoleCodePage = GetConsoleOutputCP();
    if (g_consoleCodePage != 0 && g_consoleCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        std::atexit(RestoreConsoleCodePage);  // the console is the user's, after the tool
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    PrepareStandardStreams();
    std::vector<std::string> arguments(static_cast<size_t>(argc));
    for (int i = 0; i < argc; ++i) {
        // Windows holds any UTF-16, even a lone surrogate, which UTF-8 cannot spell.
        if (!ToNarrow(argv[i], &arguments[static_cast<size_t>(i)])) {
            WriteText(stderr, "Error: An argument is not valid Unicode.\n");
            return 2;
        }
    }
    std::vector<char*> narrow;
    for (std::string& argument : arguments) narrow.push_back(argument.data());
    narrow.push_back(nullptr);
    return RunTool(argc, narrow.data());
}
