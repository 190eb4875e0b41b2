// The front-end without a window: it records every message, answers the open dialog from a
// queue, and keeps the picture that a window would show. Tests drive whole sessions with it;
// the command-line tool renders its screens with it.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/frontend.h"

struct HeadlessFrontend {
    std::vector<std::string> errors;                 // every FrontendShowError, in order
    bool echoErrors = false;                         // also print "Error: <text>" to stderr
    std::deque<std::optional<ChosenFile>> answers;   // next open dialogs; nullopt cancels
    int dialogsShown = 0;
    std::vector<ScreenRect> repaints;
    bool windowDestroyed = false;
    bool quit = false;
    int exitCode = -1;
    std::vector<uint32_t> picture = std::vector<uint32_t>(640 * 480);  // what the window shows

    // Forgets everything recorded.
    void Clear();
    // Takes the errors recorded so far and forgets them.
    std::vector<std::string> TakeErrors();
};

extern HeadlessFrontend g_headless;
