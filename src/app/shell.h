// The program's shell: the process-wide objects, start-up and tear-down, and the one
// message handler that every front-end feeds with its menu commands, keys and paints.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/frontend.h"
#include "app/resource_ids.h"
#include "display/screen.h"
#include "viewer/costume_viewer.h"

// Messages, numbered as their Win32 counterparts so that a window procedure passes them on.
enum ShellMessage : uint32_t {
    MSG_DESTROY = 0x0002,
    MSG_PAINT = 0x000F,
    MSG_KEYDOWN = 0x0100,  // wParam: one of the keys below
    MSG_COMMAND = 0x0111,  // low 16 bits of wParam: CMD_OPEN or CMD_EXIT
};

// The six keys, as Win32 virtual-key codes.
enum ShellKey : uint32_t {
    KEY_LEFT = 0x25,
    KEY_UP = 0x26,
    KEY_RIGHT = 0x27,
    KEY_DOWN = 0x28,
    KEY_ADD = 0x6B,       // keypad plus only
    KEY_SUBTRACT = 0x6D,  // keypad minus only
};

// MSG_PAINT's lParam: the shell writes the colours of `rect` into `pixels` (the pixel at
// rect.left, rect.top), rows `stride` pixels apart, as Screen::Compose does.
struct PaintRequest {
    ScreenRect rect;
    uint32_t* pixels = nullptr;
    size_t stride = 0;
};

extern WindowHandle g_mainWindow;
extern std::unique_ptr<CostumeViewer> g_viewer;

// After the window exists: creates and clears the screen and shows "Please open a file.".
// False (exit code 1) when the screen cannot be created.
bool ShellStart(WindowHandle window);
// True when handled; false means the front-end's default processing applies.
bool ShellHandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
// After the message loop: releases the viewer, then the screen.
void ShellStop();
// Resets and releases the current viewer, if there is one, closing its game's files.
void ReleaseViewer();

// File > Open: asks the front-end for an index file and opens the game it belongs to.
bool RunOpenCommand();
// Cuts a chosen path into the directory (with its trailing separator) and the base name.
void SplitChosenFile(const ChosenFile& choice, std::string* directory, std::string* baseName);
