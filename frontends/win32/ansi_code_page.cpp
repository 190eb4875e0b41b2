// DuzuRoro.exe's paths are in the ANSI code page, from its open dialog to the file functions.
#include <windows.h>

#include "frontends/win32/narrow_text.h"

unsigned NarrowCodePage() {
    return CP_ACP;
}
