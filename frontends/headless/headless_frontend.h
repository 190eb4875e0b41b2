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
    std::vector<std::string> errors;                // every FrontendShowError, in order
    std::vector<std::string> fileDetails;           // "<path>: <reason>" of those with a file
    bool echoErrors = false;                        // also print "Error: <text>" to stderr
    std::deque<std::optional<ChosenFile>> answers;  // next open dialogs; nullopt cancels
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

// A whole session driven as a user drives the program, in the order a front-end's main
// runs it. What the session shows and says is recorded in g_headless.

// Starts the program on a stand-in window. False, with exit code 1, when it cannot start.
bool HeadlessStart();
// Presses a key (a virtual-key code such as KEY_UP); true when the program handled it.
bool HeadlessPressKey(uint32_t key);
// Chooses a menu command (CMD_OPEN, CMD_EXIT or any other id); true when handled.
bool HeadlessChooseCommand(uint32_t command);
// File > Open, with the dialog answering `path` as an open dialog reports it.
void HeadlessOpen(const std::string& path);
// The window's close box.
void HeadlessClose();
// The message loop has ended: releases the viewer and the screen. Returns the exit code
// that the quit carried (-1 when the session never quit).
int HeadlessStop();

// What the window shows: 640 x 480 pixels of red, green and blue bytes, top row first.
std::vector<uint8_t> HeadlessPictureRgb();
// `path` as an open dialog reports it: the file name begins after the last slash or backslash,
// the extension after the name's last dot (none when the name has no dot).
ChosenFile HeadlessChosenFile(const std::string& path);
