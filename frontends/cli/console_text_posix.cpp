#include <unistd.h>

#include "frontends/cli/console_text.h"

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void WriteText(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}
