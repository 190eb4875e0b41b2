// duzuroro-cli.exe's paths are UTF-8 throughout, as on Linux: wmain turns the arguments into
// it once, and the file functions turn it back into UTF-16.
#include <windows.h>

#include "frontends/win32/narrow_text.h"

unsigned NarrowCodePage() {
    return CP_UTF8;
}
